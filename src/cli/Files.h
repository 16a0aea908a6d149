// The files a command reads and writes, through the file layer, with its
// failures as the tool's errors.
#pragma once

#include "files/FileWriter.h"

#include <string>
#include <string_view>

namespace cli {

// The text's bytes; "-" reads standard input. Throws an unreadable-input error.
std::string ReadFile(const std::string& name);
// Writes `bytes` to the output `name` ("-" is standard output), never
// over the table file `table`. Throws an unwritable-output error.
void WriteFile(const std::string& name, std::string_view bytes, const std::string& table,
               files::Access access = files::Access::Shared);

} // namespace cli
