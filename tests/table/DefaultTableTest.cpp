#include "table/DefaultTable.h"

#include "support/Sjis.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace {

std::string KeysInOrder(const CMapStringToString& map) {
    std::string keys;
    for (const auto& entry : map) {
        keys += cp932::ToUtf8(entry.key) + ' ';
    }
    return keys;
}

class DefaultTable : public testing::Test {
protected:
    void SetUp() override { FillDefaultTable(table); }
    std::string Letter(std::string_view key) const {
        const auto* v = letters.Lookup(Sjis(key));
        return v ? *v : "";
    }
    ConversionTable table;
    const CMapStringToString& letters = table.letters;
    const CMapStringToString& digits = table.digits;
};

TEST_F(DefaultTable, HoldsEightyThreeLettersAndTenDigits) {
    EXPECT_EQ(letters.GetCount(), 83u);
    EXPECT_EQ(digits.GetCount(), 10u);
    std::vector<int> perLetter(26);
    for (const auto& entry : letters) {
        ASSERT_EQ(entry.value.size(), 1u);
        ++perLetter[static_cast<std::size_t>(entry.value[0] - 'a')];
    }
    for (int i = 0; i < 26; ++i) {
        EXPECT_GE(perLetter[static_cast<std::size_t>(i)], 1) << char('a' + i);
        EXPECT_LE(perLetter[static_cast<std::size_t>(i)], i == 'n' - 'a' ? 6 : 5) << char('a' + i);
    }
    EXPECT_EQ(perLetter['n' - 'a'], 6);
}

TEST_F(DefaultTable, ChosenEntries) {
    EXPECT_EQ(Letter("ン"), "n");
    EXPECT_EQ(Letter("チ"), "c");
    EXPECT_EQ(Letter("ヴ"), "v");
    EXPECT_EQ(Letter("（"), "x");
    EXPECT_EQ(Letter("「"), "l");
    EXPECT_EQ(Letter("クォ"), "q");
    EXPECT_EQ(Letter("イ"), "i");
    EXPECT_EQ(*digits.Lookup(Sjis("イ")), "1");
    EXPECT_EQ(*digits.Lookup(Sjis("レ")), "0");
}

// The order of insertion fixes the order the editor and the file show.
TEST_F(DefaultTable, IterationOrder) {
    EXPECT_EQ(KeysInOrder(digits), "ク ゴ サ イ シ ナ レ ロ ニ ハ ");
    EXPECT_EQ(
        KeysInOrder(letters),
        "パ ダ ン モ ク グ ヴ ヒ チ ウォ ビ ヂ ヤ ケ クァ ピ ゲ ユ フ ツ コ ア クィ ブ ヅ ゴ プ ヨ テ サ "
        "イ 「 デ ザ ラ ヘ 」 ベ リ ト シ ウ クェ ペ ド ジ ル レ ホ ナ ス エ クォ ボ ズ ロ ニ （ ポ ヌ "
        "セ オ ウィ ） ゼ ワ マ ネ カ ガ ミ ノ ソ ゾ ム ハ キ バ ギ ヲ メ タ ウェ ");
}

} // namespace
