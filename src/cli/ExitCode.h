// The command-line tool's exit codes; the manual page and --help list them.
#pragma once

namespace cli {

enum ExitCode : int {
    kDone = 0,
    kInternal = 1,      // an unexpected fault of the tool itself
    kUsage = 2,         // unknown command or option, missing or bad argument
    kUnreadable = 3,    // the table file or the text to import cannot be read, or is damaged
    kBadText = 4,       // a phrase or password code page 932 cannot hold, or too long
    kRefused = 5,       // table text refused by the checks
    kUnwritable = 6,    // an output file or the table file cannot be written
    kNoPrinter = 7,     // no label printer to print on
    kNoAcknowledge = 8, // the printer did not acknowledge the label
    kQueue = 9,         // the print queue does not exist or refused the job
};

} // namespace cli
