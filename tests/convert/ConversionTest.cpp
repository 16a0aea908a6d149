#include "convert/Conversion.h"

#include "support/TableHelpers.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Steps name the map each character used (Letters, Digits, Symbols) or a skip
// (-); together they account for the whole password and the whole phrase. The
// notice names what was skipped, whichever mode skipped it.
TEST(Conversion, GivesThePasswordStepByStep) {
    const ConversionTable defaults = Defaults();
    ConversionTable small; // letter keys of every length, and サ in two maps
    small.symbols.insert_or_assign(std::string("サ"), "*");
    for (const auto& [key, value] :
         {std::pair{"サ", "s"}, {"サク", "q"}, {"サクラ", "z"}, {"ラ", "r"}, {"ア", "ab"}}) {
        small.letters.insert_or_assign(std::string(key), value);
    }
    constexpr ConversionOptions kDigits{true, true, false}, kRandom{false, true, true}, kNone{false, false};
    struct Row {
        const char *katakana, *password, *maps, *notice; // UTF-8
        ConversionOptions options;
        bool own = false;
    };
    const Row rows[] = {
        {"サクラ　サクラ", "39r39r", "DDL-DDL", "", kDigits}, // a digit uses up the pending capital
        {"　ャーサ", "S", "---L", "", kNone, true},           // the capital waits over unmatched characters
        {"サクラ1", "39r", "DDL-", "変換されない文字があります: 1", kDigits}, // a single byte at the end
        {"サクラ", "SKr", "LLL", "", kRandom}, // seed 1 draws 41, 18467, 6334: odd is upper case
        {"サクラサクサラ　サクラ　アア", "zq*rZABab", "LLSL-L-LL", "", kDigits, true}, // longer keys first
        {"キッテ、コーヒー・ヰ", "ktkh", "L-L-L-L---", "", kNone}, // kana and signs the table leaves out
        {"桜サＳ桜", "3", "-D--", "変換されない文字があります: 桜、Ｓ", kDigits},
        {"Ｓａｋｕｒａ", "", "------", "変換されない文字があります: Ｓ、ａ、ｋ…", kDigits},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.katakana);
        CrtRandom random; // unseeded, as seed 1
        const std::string phrase = std::string(row.katakana);
        std::vector<ConversionStep> steps;
        const auto password =
            ConvertKatakana(phrase, row.own ? small : defaults, row.options, random, &steps);
        std::string joined, maps;
        std::size_t end = 0;
        for (const ConversionStep& step : steps) {
            EXPECT_EQ(step.position, end);
            maps += step.map ? "LDS"[static_cast<int>(*step.map)] : '-';
            joined += step.output;
            end = step.position + step.length;
        }
        EXPECT_EQ(end, phrase.size());
        EXPECT_EQ(joined, password);
        EXPECT_EQ(password, row.password);
        EXPECT_EQ(maps, row.maps);
        EXPECT_EQ(SkippedNotice(phrase, steps), std::string(row.notice));
    }
}

} // namespace
