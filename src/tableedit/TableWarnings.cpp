#include "tableedit/TableWarnings.h"

#include "convert/Conversion.h"
#include "kana/KatakanaMode.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace tableedit {
namespace {

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
        if (!InKatakanaMode(entry.key)) {
            // The key is the user's text: shown escaped, so that it cannot steer a terminal.
            warnings.push_back({entry.line, "キー " + ShownTableText(entry.key) +
                                                " は入力した言葉には現れないので、この項目は使われません"
                                                "（言葉の半角文字は全角に、ひらがなはカタカナになります）"});
        } else if (entry.key.find(kCapitalMark) != std::string::npos) {
            warnings.push_back({entry.line, "キー " + ShownTableText(entry.key) +
                                                " には全角スペースがあります。言葉のスペースは次の文字を"
                                                "大文字にする印なので、この項目があると印になりません"});
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
                    keys += (keys.empty() ? "" : "・") + ShownTableText(entry.key) + "（" +
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
