#include "cli/TableSource.h"

#include "cli/CliError.h"
#include "cli/Terminal.h"
#include "platform/Cp932.h"
#include "platform/UserText.h"
#include "table/DefaultTable.h"
#include "table/TableFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace cli {

TableSource::TableSource(std::string file, bool named)
    : m_file(std::move(file))
    , m_named(named) {}

ConversionTable TableSource::Load() const {
    ConversionTable table;
    const std::string shown = ShownUserText(m_file, kShownPathChars);
    std::error_code ec;
    const auto status = std::filesystem::status(m_file, ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        if (m_named) {
            Terminal::Warning(shown + " がありません。組み込みの変換表を使います");
        }
        FillDefaultTable(table);
        return table;
    }
    if (status.type() == std::filesystem::file_type::directory) {
        throw CliError(kUnreadable, "変換表ファイル " + shown + " を読み込めません: フォルダです");
    }
    // A device or a FIFO is never opened: it is not a table, and a FIFO would block.
    if (status.type() != std::filesystem::file_type::regular && !ec) {
        throw CliError(kUnreadable,
                       "変換表ファイル " + shown + " を読み込めません: 通常のファイルではありません");
    }
    const LoadResult loaded = LoadConversionTable(table, m_file);
    if (loaded.source == LoadResult::Source::Defaults) {
        // It exists, so the defaults mean it could not be opened; ask why.
        int error = EACCES;
        if (std::FILE* file = std::fopen(m_file.c_str(), "rb")) {
            std::fclose(file);
        } else {
            error = errno;
        }
        throw CliError(kUnreadable, "変換表ファイル " + shown + " を読み込めません: " + std::strerror(error));
    }
    if (loaded.source == LoadResult::Source::Failed) {
        std::string why = cp932::ToUtf8(DescribeTableReadError(loaded.error));
        if (loaded.error == TableReadError::EndOfFile) {
            why = shown + why; // the wording expects the file name in front
        }
        throw CliError(kUnreadable, "変換表ファイル " + shown + " が壊れています: " + why);
    }
    return table;
}

void TableSource::Save(const ConversionTable& table) const {
    if (const std::error_code error = SaveConversionTable(table, m_file)) {
        throw CliError(kUnwritable, "変換表ファイル " + ShownUserText(m_file, kShownPathChars) +
                                        " に書き込めません: " + error.message());
    }
}

} // namespace cli
