// q8xj-cli print: the label of a password on the label printer, with a line
// on standard error for each stage of the job.
#pragma once

#include <QStringList>

namespace cli {

class PrintCommand {
public:
    static int Run(const QStringList& arguments);
};

} // namespace cli
