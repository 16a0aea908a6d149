#include "tableedit/TableWarnings.h"

#include "kana/RomajiRules.h"
#include "platform/Cp932.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace tableedit {
namespace {

// The next code point of UTF-8 `text` at `pos`, moving `pos` past it; a byte
// that starts no character stands for itself.
char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
    char32_t code = 0;
    const std::size_t length = utf8::DecodeOne(text.substr(pos), code);
    code = length == 0 ? static_cast<unsigned char>(text[pos]) : code;
    pos += length == 0 ? 1 : length;
    return code;
}

bool IsFullWidthKatakana(char32_t cp) {
    return (cp >= U'ァ' && cp <= U'ヺ') || cp == U'ー';
}

// A sign the katakana field's romaji rules can put into a phrase.
bool IsTypedSign(char32_t cp) {
    for (const RomajiRule& rule : RomajiRules()) {
        std::size_t pos = 0;
        while (pos < rule.kana.size()) {
            if (NextCodePoint(rule.kana, pos) == cp) {
                return true;
            }
        }
    }
    return false;
}

bool CanBeTyped(std::string_view cp932Key) {
    const std::string utf8 = cp932::ToUtf8(cp932Key);
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t cp = NextCodePoint(utf8, pos);
        if (!IsFullWidthKatakana(cp) && !IsTypedSign(cp)) {
            return false;
        }
    }
    return true;
}

struct LookAlike {
    char shown;   // as printed
    TableMap map; // the map whose entries give it
    char value;   // the entry's value
    bool capital; // only after a capital is applied
};

struct LookAlikeGroup {
    std::string_view name;
    std::array<LookAlike, 3> members;
    std::size_t count;
};

constexpr std::array<LookAlikeGroup, 2> kGroups{{
    {"l、1、I",
     {{{'l', TableMap::Letters, 'l', false},
       {'1', TableMap::Digits, '1', false},
       {'I', TableMap::Letters, 'i', true}}},
     3},
    {"O、0", {{{'O', TableMap::Letters, 'o', true}, {'0', TableMap::Digits, '0', false}, {}}}, 2},
}};

} // namespace

std::vector<TextProblem> TableWarnings(const std::vector<TextEntry>& entries) {
    std::vector<TextProblem> warnings;
    for (const TextEntry& entry : entries) {
        if (!CanBeTyped(entry.key)) {
            warnings.push_back(
                {entry.line, "キー " + cp932::ToUtf8(entry.key) +
                                 " は全角カタカナではありません。入力した言葉には現れないので、"
                                 "この項目は使われません"});
        }
    }
    for (const LookAlikeGroup& group : kGroups) {
        std::string found;
        std::size_t kinds = 0;
        for (std::size_t m = 0; m < group.count; ++m) {
            const LookAlike& member = group.members[m];
            std::string keys;
            for (const TextEntry& entry : entries) {
                if (entry.map == member.map && entry.value.size() == 1 && entry.value[0] == member.value) {
                    keys += (keys.empty() ? "" : "・") + cp932::ToUtf8(entry.key) + "（" +
                            std::to_string(entry.line) + " 行目）";
                }
            }
            if (keys.empty()) {
                continue;
            }
            ++kinds;
            found += found.empty() ? "" : "、";
            found += std::string(1, member.shown) + (member.capital ? "（大文字）← " : " ← ") + keys;
        }
        if (kinds > 1) {
            warnings.push_back({0, std::string(group.name) + " はラベル上で見分けにくい文字です: " + found});
        }
    }
    return warnings;
}

} // namespace tableedit
