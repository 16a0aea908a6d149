#include "cli/Files.h"

#include "cli/CliError.h"
#include "files/FileReader.h"
#include "files/FileWriter.h"
#include "platform/FileErrorText.h"
#include "platform/UserText.h"

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

} // namespace cli
