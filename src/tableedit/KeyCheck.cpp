#include "tableedit/KeyCheck.h"

#include "platform/Cp932.h"
#include "table/TableFile.h"

#include <cstdio>

namespace tableedit {

std::optional<LongKey> CheckKeyLength(std::string_view key) {
    if (key.size() <= kMaxKeyBytes) {
        return std::nullopt;
    }
    LongKey result;
    result.cut = std::string(key.substr(0, cp932::FittingPrefix(key, kMaxKeyBytes)));
    result.message = std::string(key) + cp932::Text(" は、３文字以上です。\r\n") + result.cut +
                     cp932::Text(" に切り詰めます。");
    return result;
}

std::optional<std::string> CheckStorableKey(std::string_view key) {
    const std::size_t at = UnstorableKeyByte(key);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    char byte[8];
    std::snprintf(byte, sizeof byte, "\\x%02X", static_cast<unsigned char>(key[at]));
    return cp932::Text("キーの ") + std::to_string(at + 1) + cp932::Text(" バイト目 ") + byte +
           cp932::Text(" は変換表ファイルに保存できません（キーがそこで切れてしまいます）。");
}

std::optional<std::string> CheckDuplicateKey(const CMapStringToString& map, std::string_view key,
                                             std::string_view output) {
    const std::string* earlier = map.Lookup(key);
    if (earlier == nullptr) {
        return std::nullopt;
    }
    const std::string k(key);
    return k + cp932::Text(" が ") + *earlier + cp932::Text(" と ") + std::string(output) +
           cp932::Text(" で指定されています。\r\n") + k + cp932::Text(" → ") + *earlier +
           cp932::Text(" は無効になります。");
}

} // namespace tableedit
