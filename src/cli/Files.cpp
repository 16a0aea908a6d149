#include "cli/Files.h"

#include "cli/CliError.h"
#include "files/FileReader.h"
#include "files/FileWriter.h"
#include "platform/FileErrorText.h"
#include "platform/UserText.h"
#include "platform/Utf8.h"

#include <unistd.h>

namespace cli {

std::string ReadFile(const std::string& name) {
    std::string bytes;
    if (const std::error_code error = files::ReadText(name, files::kMaxTextBytes, bytes)) {
        const std::string what = name == "-" ? "標準入力" : ShownUserText(name, kShownPathChars);
        throw CliError(kUnreadable, what + " を読み込めません: " + FileErrorReason(error));
    }
    return bytes;
}

void WriteFile(const std::string& name, std::string_view bytes, const std::string& table,
               files::Access access) {
    if (const std::error_code error = files::WriteFile(name, bytes, files::Target::Output, table, access)) {
        const std::string what = name == "-" ? "標準出力" : ShownUserText(name, kShownPathChars);
        throw CliError(kUnwritable, what + " に書き込めません: " + FileErrorReason(error));
    }
}

InputLines::InputLines()
    : m_reader(STDIN_FILENO) {}

bool InputLines::Next(std::string& line) {
    if (!m_reader.Next(line)) {
        return false;
    }
    if (m_first && line.starts_with(utf8::kByteOrderMark)) {
        line.erase(0, utf8::kByteOrderMark.size()); // as a table text's import drops it
    }
    m_first = false;
    return true;
}

void InputLines::Check() const {
    if (m_reader.Error()) {
        throw CliError(kUnreadable, "標準入力を読み込めません: " + FileErrorReason(m_reader.Error()));
    }
}

} // namespace cli
