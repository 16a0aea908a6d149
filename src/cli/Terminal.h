// Standard output, standard error and standard input as the commands use them:
// UTF-8 bytes, with write failures turned into the tool's errors.
#pragma once

#include <string>
#include <string_view>

namespace cli {

// Writes `utf8` to standard output; a failed write is an unwritable output.
void Out(std::string_view utf8);
// "q8xj-cli: " and the message, with a line end, on standard error.
void Error(std::string_view utf8);
void Warning(std::string_view utf8);
// A line on standard error without the program's name.
void Note(std::string_view utf8);

// Bits with one decimal, whatever the locale.
std::string OneDecimal(double bits);

} // namespace cli
