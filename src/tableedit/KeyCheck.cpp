#include "tableedit/KeyCheck.h"

#include "table/TableFile.h"

#include <cstdio>

namespace tableedit {

std::optional<LongKey> CheckKeyLength(std::string_view key) {
    if (FieldLimit::Measure(key).value_or(key.size()) <= kKeyLimit.Bytes()) {
        return std::nullopt;
    }
    LongKey result;
    result.cut = std::string(key.substr(0, FieldLimit::FittingPrefix(key, kKeyLimit.Bytes())));
    result.message = std::string(key) + std::string(" は、３文字以上です。\n") + result.cut +
                     std::string(" に切り詰めます。");
    return result;
}

std::optional<std::string> CheckStorableKey(std::string_view key) {
    const std::optional<LostByte> lost = UnstorableKeyByte(key);
    if (!lost) {
        return std::nullopt;
    }
    char byte[8];
    std::snprintf(byte, sizeof byte, "\\x%02X", lost->byte);
    return std::string("キーの ") + std::to_string(lost->offset + 1) + std::string(" バイト目 ") + byte +
           std::string(" は変換表ファイルに保存できません（キーがそこで切れてしまいます）。");
}

std::optional<std::string> CheckDuplicateKey(const HashOrderMap& map, std::string_view key,
                                             std::string_view output) {
    const std::string* earlier = map.find(key);
    if (earlier == nullptr) {
        return std::nullopt;
    }
    const std::string k(key);
    return k + std::string(" が ") + *earlier + std::string(" と ") + std::string(output) +
           std::string(" で指定されています。\n") + k + std::string(" → ") + *earlier +
           std::string(" は無効になります。");
}

} // namespace tableedit
