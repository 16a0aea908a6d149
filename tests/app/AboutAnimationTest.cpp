// The about box's animation without drawing: colour counters, the 41-tick
// cycle, the picture's cells and the numbers taken from the shared generator.
#include "app/AboutAnimation.h"

#include "support/NamedCases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <ostream>
#include <string>

namespace {

using Animation = AboutAnimation;

// Numbers drawn between two states of a generator (the generator cannot be rewound).
int DrawsBetween(CrtRandom from, const CrtRandom& to) {
    for (int n = 0; n < 100000; ++n) {
        if (from.State() == to.State()) {
            return n;
        }
        from.rand();
    }
    return -1;
}

int HeldCells(const Animation::Grid& grid) {
    return static_cast<int>(std::count(grid.begin(), grid.end(), Animation::kHold));
}

// --- One counter's step -------------------------------------------------------------

enum class Move { Up, Down, Turn };

struct StepCase {
    std::string name;
    int value;
    bool rising;
    Move move;
    friend void PrintTo(const StepCase& c, std::ostream* os) { *os << c.name; }
};

class CounterStep : public testing::TestWithParam<StepCase> {};

TEST_P(CounterStep, MovesByOneToEightOrTurnsWithoutDrawing) {
    const StepCase& c = GetParam();
    // Many seeds, so every step size from 1 to 8 turns up.
    std::array<bool, 9> seenStep{};
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        CrtRandom random;
        random.srand(seed * 7919u);
        CrtRandom expectedDraw = random;
        Animation::Counter counter{c.value, c.rising};
        counter.Step(random);
        switch (c.move) {
        case Move::Up:
        case Move::Down: {
            const int step = expectedDraw.rand() % 8 + 1;
            seenStep[static_cast<std::size_t>(step)] = true;
            ASSERT_EQ(counter.value, c.value + (c.move == Move::Up ? step : -step));
            ASSERT_EQ(counter.rising, c.rising);
            ASSERT_EQ(DrawsBetween(expectedDraw, random), 0);
            break;
        }
        case Move::Turn:
            ASSERT_EQ(counter.value, c.value);
            ASSERT_EQ(counter.rising, !c.rising);
            ASSERT_EQ(random.State(), expectedDraw.State());
            break;
        }
    }
    if (c.move != Move::Turn) {
        EXPECT_TRUE(std::all_of(seenStep.begin() + 1, seenStep.end(), [](bool seen) { return seen; }));
    }
}

INSTANTIATE_TEST_SUITE_P(Thresholds, CounterStep,
                         testing::Values(StepCase{"StartRises", 0, true, Move::Up},
                                         StepCase{"RisingJustBelowTop", 251, true, Move::Up},
                                         StepCase{"RisingAtTopTurns", 252, true, Move::Turn},
                                         StepCase{"RisingOvershootTurns", 259, true, Move::Turn},
                                         StepCase{"RisingFromUndershoot", -4, true, Move::Up},
                                         StepCase{"FallingJustAboveBottom", 4, false, Move::Down},
                                         StepCase{"FallingAtBottomTurns", 3, false, Move::Turn},
                                         StepCase{"FallingUndershootTurns", -4, false, Move::Turn},
                                         StepCase{"FallingFromOvershoot", 259, false, Move::Down}),
                         named_cases::CaseName());

// --- A long walk from a seeded generator ---------------------------------------------

struct SeedCase {
    std::string name;
    std::uint32_t seed;
    friend void PrintTo(const SeedCase& c, std::ostream* os) { *os << c.name; }
};

class LongWalk : public testing::TestWithParam<SeedCase> {};

// Only the colour rules, checked from the outside: direction, size of a step,
// turning points, the range, and which counter values the colours come from.
TEST_P(LongWalk, ColoursFollowTheCounters) {
    CrtRandom random;
    random.srand(GetParam().seed);
    Animation animation;
    bool overshot = false;
    bool undershot = false;
    int turns = 0;
    for (int tick = 0; tick < 5000; ++tick) {
        const std::array<Animation::Counter, 3> before{animation.Red(), animation.Green(), animation.Blue()};
        const Animation::Frame frame = animation.Tick(random);
        const std::array<Animation::Counter, 3> after{animation.Red(), animation.Green(), animation.Blue()};

        for (std::size_t i = 0; i < 3; ++i) {
            const Animation::Counter& b = before[i];
            const Animation::Counter& a = after[i];
            const int delta = a.value - b.value;
            if (b.rising && b.value < 252) {
                ASSERT_TRUE(a.rising && delta >= 1 && delta <= 8) << "tick " << tick << " channel " << i;
            } else if (b.rising) {
                ASSERT_TRUE(!a.rising && delta == 0) << "tick " << tick << " channel " << i;
                ++turns;
            } else if (b.value > 3) {
                ASSERT_TRUE(!a.rising && delta <= -1 && delta >= -8) << "tick " << tick << " channel " << i;
            } else {
                ASSERT_TRUE(a.rising && delta == 0) << "tick " << tick << " channel " << i;
                ++turns;
            }
            ASSERT_GE(a.value, -4);
            ASSERT_LE(a.value, 259);
            overshot = overshot || a.value > 255;
            undershot = undershot || a.value < 0;
        }

        // Text: the counters before the steps; fill: their complement after. Low 8 bits
        // wrap, so 257 gives 1 (fill 254), never a clamped 255.
        const auto low8 = [](int v) {
            return static_cast<std::uint8_t>(((v % 256) + 256) % 256);
        };
        const Animation::Colour textWanted{low8(before[0].value), low8(before[1].value),
                                           low8(before[2].value)};
        const Animation::Colour fillWanted{static_cast<std::uint8_t>(255 - low8(after[0].value)),
                                           static_cast<std::uint8_t>(255 - low8(after[1].value)),
                                           static_cast<std::uint8_t>(255 - low8(after[2].value))};
        ASSERT_EQ(frame.text, textWanted) << "tick " << tick;
        ASSERT_EQ(frame.fill, fillWanted) << "tick " << tick;
    }
    // The walk must have reached the interesting places for the checks to mean anything.
    EXPECT_TRUE(overshot);
    EXPECT_TRUE(undershot);
    EXPECT_GT(turns, 100);
}

// The generator is shared with the conversion, so what a tick takes from it matters:
// one number per moving counter and one per cell that is not held.
TEST_P(LongWalk, TakesOneNumberPerStepAndPerChangingCell) {
    CrtRandom random;
    random.srand(GetParam().seed);
    Animation animation;
    for (int tick = 0; tick < 300; ++tick) {
        const std::array<int, 3> before{animation.Red().value, animation.Green().value,
                                        animation.Blue().value};
        const CrtRandom start = random;
        const Animation::Frame frame = animation.Tick(random);
        const int moved = (animation.Red().value != before[0]) + (animation.Green().value != before[1]) +
                          (animation.Blue().value != before[2]);
        ASSERT_EQ(DrawsBetween(start, random), moved + Animation::kCells - HeldCells(frame.cells))
            << "tick " << tick;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, LongWalk,
                         testing::Values(SeedCase{"Unseeded", 1}, SeedCase{"Zero", 0},
                                         SeedCase{"ClockLike", 1041379200u},
                                         SeedCase{"AllBits", 0xFFFFFFFFu}),
                         named_cases::CaseName());

// --- The 41-tick cycle -----------------------------------------------------------------

TEST(AboutCycle, PictureStandsForTwentyTicksOfEveryFortyOne) {
    CrtRandom random;
    Animation animation;
    EXPECT_FALSE(animation.MaskBuilt());
    const Animation::Grid mask = Animation::BuildMask();
    Animation::Grid previous{};
    for (int tick = 0; tick < 3 * Animation::kCycle; ++tick) {
        ASSERT_EQ(animation.FrameCounter(), tick % Animation::kCycle);
        const Animation::Frame frame = animation.Tick(random);
        ASSERT_TRUE(animation.MaskBuilt());
        for (std::size_t i = 0; i < frame.cells.size(); ++i) {
            const bool held = tick % Animation::kCycle < 20 && mask[i] == Animation::kHold;
            if (held) {
                ASSERT_EQ(frame.cells[i], Animation::kHold) << "tick " << tick << " cell " << i;
            } else {
                ASSERT_GE(frame.cells[i], 33) << "tick " << tick << " cell " << i;
                ASSERT_LE(frame.cells[i], 122) << "tick " << tick << " cell " << i;
            }
        }
        if (tick > 0) {
            // The other cells are drawn afresh every tick.
            ASSERT_NE(frame.cells, previous) << "tick " << tick;
        }
        previous = frame.cells;
    }
}

TEST(AboutCycle, RandomCellsCoverThePrintableRange) {
    CrtRandom random;
    Animation animation;
    std::array<bool, 256> seen{};
    for (int tick = 0; tick < 200; ++tick) {
        const Animation::Frame frame = animation.Tick(random);
        for (const std::uint8_t b : frame.cells) {
            seen[b] = true;
        }
    }
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(seen[static_cast<std::size_t>(b)], b == Animation::kHold || (b >= 33 && b <= 122))
            << "byte " << b;
    }
}

// --- The picture ----------------------------------------------------------------------

TEST(AboutMask, SpellsTheWordInFourRows) {
    // One blank column between glyphs, the word centred on the 30 columns.
    const std::array<std::string, Animation::kRows> picture{
        "      .##. ### #..# ..#       ",
        "      #..# #.# .##. ..#       ",
        "      #.## ### .##. #.#       ",
        "      .### ### #..# .#.       ",
    };
    const Animation::Grid mask = Animation::BuildMask();
    for (int row = 0; row < Animation::kRows; ++row) {
        std::string drawn;
        for (int column = 0; column < Animation::kColumns; ++column) {
            const std::uint8_t cell = mask[static_cast<std::size_t>(row * Animation::kColumns + column)];
            ASSERT_TRUE(cell == 0 || cell == Animation::kHold);
            drawn += cell == Animation::kHold ? '#' : '.';
        }
        std::string wanted = picture[static_cast<std::size_t>(row)];
        std::replace(wanted.begin(), wanted.end(), ' ', '.');
        EXPECT_EQ(drawn, wanted) << "row " << row;
    }
}

// --- Where cells go --------------------------------------------------------------------

struct OriginCase {
    std::string name;
    int column, row, width, height;
    Animation::Point wanted;
    friend void PrintTo(const OriginCase& c, std::ostream* os) { *os << c.name; }
};

class CellOrigin : public testing::TestWithParam<OriginCase> {};

TEST_P(CellOrigin, SpreadsOverTheAreaMinusOnePixel) {
    const OriginCase& c = GetParam();
    EXPECT_EQ(Animation::CellOrigin(c.column, c.row, c.width, c.height), c.wanted);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, CellOrigin,
    testing::Values(OriginCase{"FirstCell", 0, 0, 248, 66, {0, 0}},
                    // 247 * 29 / 30 = 238.77 and 65 * 3 / 4 = 48.75: truncated, not rounded.
                    OriginCase{"LastCellTruncates", 29, 3, 248, 66, {238, 48}},
                    // The width less one decides: 31 pixels give whole steps of one.
                    OriginCase{"ThirtyOneWide", 17, 2, 31, 5, {17, 2}},
                    OriginCase{"TooSmallAreaStacksCells", 29, 3, 1, 1, {0, 0}}),
    named_cases::CaseName());

} // namespace
