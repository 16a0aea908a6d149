#include "cli/TableSource.h"

#include "cli/CliError.h"
#include "cli/Terminal.h"
#include "platform/FileErrorText.h"
#include "platform/UserText.h"
#include "table/DefaultTable.h"
#include "table/TableFile.h"

#include <system_error>

namespace cli {

TableSource::TableSource(std::string file, bool named)
    : m_file(std::move(file))
    , m_named(named) {}

ConversionTable TableSource::Load() const {
    ConversionTable table;
    const std::string shown = ShownUserText(m_file, kShownPathChars);
    const LoadResult loaded = LoadConversionTable(table, m_file);
    if (loaded.source == LoadResult::Source::Defaults) {
        // The window falls back to the built-in table silently; a script hears why.
        if (loaded.cause != std::errc::no_such_file_or_directory) {
            throw CliError(kUnreadable,
                           "変換表ファイル " + shown + " を読み込めません: " + FileErrorReason(loaded.cause));
        }
        if (m_named) {
            Warning(shown + " がありません。組み込みの変換表を使います");
        }
        return table;
    }
    if (loaded.source == LoadResult::Source::Failed) {
        const std::string why = DescribeTableReadError(loaded.error, shown);
        throw CliError(kUnreadable, "変換表ファイル " + shown + " が壊れています: " + why);
    }
    return table;
}

void TableSource::Save(const ConversionTable& table) const {
    if (const std::error_code error = SaveConversionTable(table, m_file)) {
        throw CliError(kUnwritable, "変換表ファイル " + ShownUserText(m_file, kShownPathChars) +
                                        " に書き込めません: " + FileErrorReason(error));
    }
}

} // namespace cli
