#include "table/DefaultTable.h"

#include "support/Sjis.h"

#include <gtest/gtest.h>

namespace {

std::string KeysInOrder(const CMapStringToString& map) {
    std::string keys;
    for (const auto& entry : map) {
        keys += cp932::ToUtf8(entry.key) + ' ';
    }
    return keys;
}

std::string ValuesInOrder(const CMapStringToString& map) {
    std::string values;
    for (const auto& entry : map) {
        values += entry.value;
    }
    return values;
}

// The order of insertion fixes the order the editor and the file show; keys
// and values together pin every entry.
TEST(DefaultTable, EveryEntryInIterationOrder) {
    ConversionTable table;
    FillDefaultTable(table);
    EXPECT_EQ(KeysInOrder(table.digits), "ク ゴ サ イ シ ナ レ ロ ニ ハ ");
    EXPECT_EQ(ValuesInOrder(table.digits), "9531470628");
    EXPECT_EQ(
        KeysInOrder(table.letters),
        "パ ダ ン モ ク グ ヴ ヒ チ ウォ ビ ヂ ヤ ケ クァ ピ ゲ ユ フ ツ コ ア クィ ブ ヅ ゴ プ ヨ テ サ "
        "イ 「 デ ザ ラ ヘ 」 ベ リ ト シ ウ クェ ペ ド ジ ル レ ホ ナ ス エ クォ ボ ズ ロ ニ （ ポ ヌ "
        "セ オ ウィ ） ゼ ワ マ ネ カ ガ ミ ノ ソ ゾ ム ハ キ バ ギ ヲ メ タ ウェ ");
    EXPECT_EQ(ValuesInOrder(table.letters),
              "pdnmkgvhcwbdykqpgyftkaqbdgpytsildzrhlbrtsuqpdjrrhnseqbzrnxpnsowxzwmnkgmnszmhkbgwmtw");
    EXPECT_TRUE(table.symbols.IsEmpty());
}

} // namespace
