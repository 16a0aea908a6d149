// The files a command reads and writes, through the file layer, with its
// failures as the tool's errors.
#pragma once

#include "files/FileReader.h"
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

// Standard input a line at a time as it comes, in constant memory, the
// byte-order mark an editor may put at its start dropped: the one way a
// phrase or a password is read from it.
class InputLines {
public:
    InputLines();
    // The next line; false at the end or when reading failed (see Check).
    bool Next(std::string& line);
    // Whether the next line is already read, so that Next will not wait.
    bool HasLine() const { return m_reader.HasLine(); }
    // Throws an unreadable-input error when reading failed.
    void Check() const;

private:
    files::LineReader m_reader;
    bool m_first = true;
};

} // namespace cli
