#include "platform/FileErrorText.h"

#include "files/FileError.h"
#include "platform/FieldLimit.h"

#include <array>
#include <cerrno>

namespace {

// `text` with %1 standing for the file name, and `reason` for a line that
// names the file itself. UTF-8.
struct Cause {
    int code;
    std::string_view text;
    std::string_view reason;
};

constexpr std::array<Cause, 21> kCauses{{
    {ENOENT, "%1 またはそのフォルダーが見つかりません。", "ファイルまたはフォルダーが見つかりません"},
    {ENOTDIR, "%1 のパスが正しくありません。", "パスが正しくありません"},
    {EACCES, "%1 へのアクセスが拒否されました。", "アクセスが拒否されました"},
    {EPERM, "%1 へのアクセスが拒否されました。", "アクセスが拒否されました"},
    {EROFS, "%1 は書き込み禁止の場所にあるため変更できません。", "書き込み禁止の場所にあります"},
    {EISDIR, "%1 はフォルダーなので、ファイルとして使えません。", "フォルダーです"},
    {ENOTEMPTY, "%1 はフォルダーなので、ファイルとして使えません。", "フォルダーです"},
    {ENOSPC, "%1 を書き込むためのディスクの空き領域が足りません。", "ディスクの空き領域が足りません"},
    {EDQUOT, "%1 を書き込むためのディスクの空き領域が足りません。", "ディスクの空き領域が足りません"},
    {EFBIG, "%1 を書き込めません。ファイルが大きすぎます。", "ファイルが大きすぎます"},
    {EBUSY, "%1 は使用中です。", "使用中です"},
    {ENAMETOOLONG, "%1 のパスが長すぎます。", "パスが長すぎます"},
    {EMFILE, "%1 を開けません。開いているファイルが多すぎます。", "開いているファイルが多すぎます"},
    {EIO, "%1 の読み書き中にディスクのエラーが発生しました。", "ディスクのエラーが発生しました"},
    {ENFILE, "%1 を開けません。開いているファイルが多すぎます。", "開いているファイルが多すぎます"},
    {ELOOP, "%1 のシンボリックリンクが多すぎるか、循環しています。",
     "シンボリックリンクが多すぎるか、循環しています"},
    {ENXIO, "%1 は開けない種類のファイルです。", "開けない種類のファイルです"},
    {ENODEV, "%1 は開けない種類のファイルです。", "開けない種類のファイルです"},
    {EBADF, "%1 は閉じています。", "閉じています"},
    {EINVAL, "%1 にはこの操作ができません。", "この操作ができません"},
    {EPIPE, "%1 の読み手が終了しました。", "読み手が終了しました"},
}};

const Cause* Find(const std::error_code& error) {
    if (error.category() == std::generic_category() || error.category() == std::system_category()) {
        for (const auto& cause : kCauses) {
            if (cause.code == error.value()) {
                return &cause;
            }
        }
    }
    return nullptr;
}

std::string Substitute(std::string_view pattern, std::string_view fileName) {
    const std::string marker = "%1";
    std::string text(pattern);
    if (const auto pos = text.find(marker); pos != std::string::npos) {
        text.replace(pos, marker.size(), fileName);
    }
    return text;
}

} // namespace

std::string FileErrorText(const std::error_code& error, std::string_view fileName) {
    if (const Cause* cause = Find(error)) {
        return Substitute(std::string(cause->text), fileName);
    }
    if (error.category() == files::FileErrorCategory()) {
        return std::string(fileName) + std::string(": " + error.message() + "。");
    }
    // The system's description is plain ASCII in the locales the program runs in;
    // anything code page 932 cannot hold is left out rather than garbled.
    const std::string message = error.message();
    const std::string reason = FieldLimit::Holds(message) ? message : std::string();
    std::string text = Substitute(std::string("%1 の操作中に予期しないエラーが発生しました。"), fileName);
    if (!reason.empty()) {
        text += std::string("\n（") + reason + std::string("）");
    }
    return text;
}

std::string FileErrorReason(const std::error_code& error) {
    if (const Cause* cause = Find(error)) {
        return std::string(cause->reason);
    }
    return error.message();
}
