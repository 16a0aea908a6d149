#include "tavopus/OnceTold.h"

#include "platform/UserText.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

namespace tavopus {

void OnceTold::Tell(const std::string& key, const std::string& text) {
    // A folder or device name in the text may hold anything; the line stays one line.
    if (told_.insert(key).second)
        std::fprintf(stderr, "%s: %s\n", program_invocation_short_name,
                     ShownUserText(text, std::numeric_limits<std::size_t>::max()).c_str());
}

std::string OnceTold::Reason(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return "アクセスが拒否されました";
    case ENOENT:
        return "見つかりません";
    case ENOTDIR:
        return "パスの途中にフォルダーでないものがあります";
    case EROFS:
        return "書き込み禁止の場所です";
    case ENOSPC:
    case EDQUOT:
        return "ディスクの空き領域が足りません";
    default:
        return "エラー " + std::to_string(error) + ": " + std::strerror(error);
    }
}

} // namespace tavopus
