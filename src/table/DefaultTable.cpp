#include "table/DefaultTable.h"

#include <array>
#include <string_view>

namespace {

struct DefaultRow {
    std::string_view keys; // UTF-8, separated by single spaces
    std::string_view value;
};

// Set row by row, left to right within a row.
constexpr std::array<DefaultRow, 31> kLetterRows{{
    {"ウィ ウェ ウォ", "w"},
    {"クァ クィ クェ クォ", "q"},
    {"ア", "a"},
    {"イ", "i"},
    {"ウ", "u"},
    {"エ", "e"},
    {"オ", "o"},
    {"カ キ ク ケ コ", "k"},
    {"サ シ ス セ ソ", "s"},
    {"タ", "t"},
    {"チ", "c"},
    {"ツ テ ト", "t"},
    {"ナ ニ ヌ ネ ノ", "n"},
    {"ハ ヒ", "h"},
    {"フ", "f"},
    {"ヘ ホ", "h"},
    {"マ ミ ム メ モ", "m"},
    {"ヤ ユ ヨ", "y"},
    {"ラ リ ル レ ロ", "r"},
    {"ワ ヲ", "w"},
    {"ン", "n"},
    {"ヴ", "v"},
    {"ガ ギ グ ゲ ゴ", "g"},
    {"ザ", "z"},
    {"ジ", "j"},
    {"ズ ゼ ゾ", "z"},
    {"ダ ヂ ヅ デ ド", "d"},
    {"バ ビ ブ ベ ボ", "b"},
    {"パ ピ プ ペ ポ", "p"},
    {"「 」", "l"},
    {"（ ）", "x"},
}};

constexpr std::array<DefaultRow, 10> kDigitRows{{
    {"レ", "0"},
    {"イ", "1"},
    {"ニ", "2"},
    {"サ", "3"},
    {"シ", "4"},
    {"ゴ", "5"},
    {"ロ", "6"},
    {"ナ", "7"},
    {"ハ", "8"},
    {"ク", "9"},
}};

template <std::size_t N> void Fill(HashOrderMap& map, const std::array<DefaultRow, N>& rows) {
    for (const auto& row : rows) {
        std::string_view keys = row.keys;
        while (!keys.empty()) {
            const auto space = keys.find(' ');
            map.insert_or_assign(std::string(keys.substr(0, space)), row.value);
            keys = space == std::string_view::npos ? std::string_view{} : keys.substr(space + 1);
        }
    }
}

} // namespace

void FillDefaultTable(ConversionTable& table) {
    Fill(table.letters, kLetterRows);
    Fill(table.digits, kDigitRows);
}
