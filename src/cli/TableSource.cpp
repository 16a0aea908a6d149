#include "cli/TableSource.h"

#include "cli/CliError.h"
#include "cli/Terminal.h"
#include "model/PasswordModel.h"
#include "platform/FileErrorText.h"
#include "platform/UserText.h"

#include <system_error>

namespace cli {

void LoadTable(PasswordModel& model, bool named) {
    const std::string shown = ShownUserText(model.TableFile().string(), kShownPathChars);
    const LoadResult loaded = model.LoadTable();
    if (loaded.source == LoadResult::Source::Defaults) {
        // The window falls back to the built-in table silently; a script hears why.
        if (loaded.cause != std::errc::no_such_file_or_directory) {
            throw CliError(kUnreadable,
                           "変換表ファイル " + shown + " を読み込めません: " + FileErrorReason(loaded.cause));
        }
        if (named) {
            Warning(shown + " がありません。組み込みの変換表を使います");
        }
        return;
    }
    if (loaded.error == TableReadError::Unreadable) {
        throw CliError(kUnreadable,
                       "変換表ファイル " + shown + " を読み込めません: " + FileErrorReason(loaded.cause));
    }
    if (loaded.source == LoadResult::Source::Failed) {
        const std::string why = DescribeLoadFailure(loaded, shown);
        throw CliError(kUnreadable, "変換表ファイル " + shown + " が壊れています: " + why);
    }
}

void SaveTable(const PasswordModel& model) {
    if (const std::error_code error = model.SaveTable()) {
        throw CliError(kUnwritable, "変換表ファイル " +
                                        ShownUserText(model.TableFile().string(), kShownPathChars) +
                                        " に書き込めません: " + FileErrorReason(error));
    }
}

} // namespace cli
