// The tool's help texts: the overview with the exit codes, and one text per
// command. The manual page res/q8xj-cli.1 says the same at more length.
#pragma once

#include <string_view>

namespace cli {

inline constexpr std::string_view kExitCodesHelp = R"(Exit codes:
  0  done
  1  an unexpected fault of q8xj-cli itself
  2  unknown command or option, missing or bad argument (a number, a colour)
  3  the table file or the text to import cannot be read, or is damaged
  4  a phrase or password holds a character code page 932 cannot hold, or is
     longer than the katakana field's 70 bytes
  5  table text refused by the checks (table import, table check)
  6  an output file, standard output or the table file cannot be written
  7  no label printer (print)
  8  the printer did not acknowledge the label (print)
On failure a one-line message goes to standard error and nothing is written.
)";

inline constexpr std::string_view kOverviewHelp = R"(Usage: q8xj-cli COMMAND [OPTIONS] [ARGUMENTS]

The conversion, the conversion table and the label of Q8xj, without a window.

Commands:
  convert   the password for each phrase
  table     export, import or check the conversion table as tab-separated text
  label     the label image of a password as a PNG file
  print     print the label of a password on the label printer

"q8xj-cli COMMAND --help" tells more about a command; "q8xj-cli --version"
the version. The table file is Q8.xj in the working folder unless --table
names another; while it does not exist the built-in table is used.

)";

inline constexpr std::string_view kConvertHelp = R"(Usage: q8xj-cli convert [OPTIONS] [PHRASE ... | -]

Prints the password for each phrase, one a line, as the main window converts
it. Phrases are full-width katakana in UTF-8; "-" reads one phrase from each
line of standard input. A full-width space makes the next letter a capital.

Options:
  --table FILE   the table file (default: Q8.xj in the working folder)
  --no-digits    no digits, as with "数字を使用する" cleared
  --no-symbols   no symbols, as with "記号を使用する" cleared
  --random-case  letters in random case, drawn as the window draws them,
                 seeded from the time
  --seed N       with --random-case: seed N (0 to 4294967295) for every
                 phrase, so that the result can be repeated
  --romaji       phrases are romaji, typed through the katakana field's rules
                 ("sakura" is サクラ, a space the full-width space)
  --explain      after each password, one line per step: the characters, the
                 map whose entry was used, the output; or "skipped"
  -h, --help     this help

)";

inline constexpr std::string_view kTableHelp = R"(Usage: q8xj-cli table export [--table FILE] [OUT.tsv]
       q8xj-cli table import IN.tsv [--table FILE]
       q8xj-cli table check [IN.tsv] [--table FILE]

The conversion table as UTF-8 text: a header line "map<TAB>key<TAB>value",
then one entry a line; map is letters, digits or symbols, key the katakana,
value the character it gives. A backslash starts \\, \t, \r, \n or \xHH.

  export  writes the table file's entries (standard output without OUT.tsv,
          or with "-"), in the order the file holds them
  import  reads the text ("-": standard input), checks every entry as the
          table editor does (keys up to 6 bytes, a key once per map) and also
          refuses unknown maps, empty keys and values that are not the map's;
          any problem refuses the whole text, listed by line, and nothing is
          written. Exported text imported unchanged writes the same bytes.
  check   the import's checks only, on IN.tsv or on the table file, plus
          warnings: keys that are not full-width katakana (no typed phrase
          holds them) and outputs that look alike on a label (l 1 I, O 0)

Options:
  --table FILE   the table file (default: Q8.xj in the working folder)
  -h, --help     this help

)";

inline constexpr std::string_view kLabelHelp = R"(Usage: q8xj-cli label [OPTIONS] --output FILE.png PASSWORD

Writes the 384 x 64 label that the print button would send for PASSWORD as a
PNG picture (a dot black, no dot white), drawn as the print image draws it.
Warns when the password is wider than the label.

Options:
  --output FILE    the PNG file to write ("-": standard output)
  --font FACE      the font face (default: the print image's)
  --size PT        the size in points, 1 to 500 (default 36)
  --colour COLOUR  a colour name (black, red, ...) or #rrggbb (default black);
                   pure white prints nothing
  -h, --help       this help

)";

inline constexpr std::string_view kPrintHelp = R"(Usage: q8xj-cli print [OPTIONS] PASSWORD

Prints the label of PASSWORD on the first label printer, as the print button
does, with a line on standard error for each stage. TAVOPUS_VIRTUAL=FOLDER
prints on the virtual printer, which saves each label in FOLDER.

Options:
  --font FACE      the font face (default: the print image's)
  --size PT        the size in points, 1 to 500 (default 36)
  --colour COLOUR  a colour name (black, red, ...) or #rrggbb (default black)
  -h, --help       this help

)";

} // namespace cli
