#include "suggest/Suggestion.h"
#include "suggest/WordList.h"

#include "support/TableHelpers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <set>
#include <vector>

namespace {

constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();

// Hands out a fixed sequence of draws.
struct Sequence : RandomSource {
    explicit Sequence(std::vector<std::uint32_t> draws)
        : values(std::move(draws)) {}
    std::uint32_t Next() override { return values.at(next++); }
    std::vector<std::uint32_t> values;
    std::size_t next = 0;
};

// Draws at the top of the range, where 2^32 is not a multiple of n, would
// favour the low numbers: they are drawn again.
TEST(Suggestion, DrawsWithoutModuloBias) {
    const struct {
        const char* name;
        std::uint32_t n;
        std::vector<std::uint32_t> draws;
        std::uint32_t result;
        std::size_t used;
    } rows[] = {
        {"first draw taken", 3, {7}, 1, 1},
        {"top draw of 3 redrawn", 3, {kMax, 5}, 2, 2},
        {"highest kept draw of 3", 3, {kMax - 1}, 2, 1},
        {"two top draws of the list redrawn", 8370, {kMax, kMax - 2235, 8371}, 1, 3},
        {"highest kept draw of the list", 8370, {kMax - 2236}, 8369, 1},
        {"a power of two wastes nothing", 4, {kMax}, 3, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Sequence source(row.draws);
        EXPECT_EQ(suggest::UniformBelow(source, row.n), row.result);
        EXPECT_EQ(source.next, row.used);
    }
}

// Every word counts: each converts whole under the built-in table, to a piece
// no other word gives, and each fits a key-less phrase of the most words.
TEST(Suggestion, EveryWordGivesAPieceOfItsOwn) {
    const ConversionTable table = Defaults();
    std::set<std::string> pieces;
    std::set<std::string_view> words;
    for (const std::string_view word : suggest::Words()) {
        SCOPED_TRACE(std::string(word));
        CrtRandom unused;
        std::vector<ConversionStep> steps;
        const std::string piece = ConvertKatakana(word, table, {}, unused, &steps);
        EXPECT_TRUE(std::ranges::all_of(steps, [](const ConversionStep& s) { return s.map.has_value(); }));
        EXPECT_TRUE(pieces.insert(piece).second);
        EXPECT_TRUE(words.insert(word).second);
        const std::size_t chars = word.size() / 3;
        EXPECT_TRUE(chars >= 2 && chars <= 5);
    }
    EXPECT_GE(words.size(), 4096u);
}

// The figure is the entropy of a word's piece; the expected values were
// worked out apart from the program from the list's 8370 words and their
// lengths (352, 2199, 4336 and 1483 words of 2 to 5 characters).
TEST(Suggestion, FigureCountsAlikePiecesOnce) {
    ConversionTable alike;
    for (const auto& entry : Defaults().letters) {
        alike.letters.insert_or_assign(entry.key, "a");
    }
    const struct {
        const char* name;
        ConversionTable table;
        ConversionOptions options;
        double bits;
        int words;
    } rows[] = {
        {"built-in table", Defaults(), {}, 13.0310, 4},
        {"random case adds nothing", Defaults(), {.randomCase = true}, 13.0310, 4},
        {"no digits", Defaults(), {.useDigits = false}, 12.7537, 4},
        {"every kana alike", alike, {}, 1.6328, 6},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const double bits = suggest::BitsPerWord(row.table, row.options);
        EXPECT_NEAR(bits, row.bits, 0.0001);
        EXPECT_EQ(suggest::DefaultWords(bits), row.words);
    }
    // Six words of five characters and five spaces are 70 bytes, the field's limit.
    EXPECT_EQ(suggest::MaxWords(), 6);
}

} // namespace
