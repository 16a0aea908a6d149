// The about box's animation without drawing: colour counters, the 41-tick
// cycle, the picture's cells and the numbers taken from the shared generator.
// The picture spells the word in four rows.
#include "app/AboutAnimation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

namespace {

using Animation = AboutAnimation;

TEST(AboutAnimation, ColoursCycleAndDrawsFollowTheRulesOverThePicture) {
    const std::string picture = ".......##..###.#..#...#......."
                                "......#..#.#.#..##....#......."
                                "......#.##.###..##..#.#......."
                                ".......###.###.#..#..#........";
    std::string drawn;
    const Animation::Grid mask = Animation::BuildMask();
    for (const std::uint8_t cell : mask) {
        drawn += cell == Animation::kHold ? '#' : cell == 0 ? '.' : '?';
    }
    EXPECT_EQ(drawn, picture);
    CrtRandom random;
    random.srand(1041379200u);
    Animation animation;
    for (int tick = 0; tick < 5000; ++tick) {
        const std::array<Animation::Counter, 3> b{animation.Red(), animation.Green(), animation.Blue()};
        CrtRandom start = random;
        const Animation::Frame frame = animation.Tick(random);
        const std::array<Animation::Counter, 3> a{animation.Red(), animation.Green(), animation.Blue()};
        int moved = 0;
        for (std::size_t i = 0; i < 3; ++i) {
            const int delta = a[i].value - b[i].value;
            const bool turns = b[i].rising ? b[i].value >= 252 : b[i].value <= 3;
            const int sign = b[i].rising ? 1 : -1;
            ASSERT_EQ(a[i].rising, turns != b[i].rising) << tick;
            ASSERT_TRUE(turns ? delta == 0 : delta * sign >= 1 && delta * sign <= 8) << tick;
            moved += delta != 0;
        }
        // Text: the counters before the steps; fill: their complement after, low 8 bits.
        ASSERT_EQ(frame.text, (Animation::Colour{b[0].Low8(), b[1].Low8(), b[2].Low8()}));
        ASSERT_EQ(frame.fill,
                  (Animation::Colour{std::uint8_t(255 - a[0].Low8()), std::uint8_t(255 - a[1].Low8()),
                                     std::uint8_t(255 - a[2].Low8())}));
        // The generator is shared: one number per moving counter and per cell not held.
        const auto held = std::count(frame.cells.begin(), frame.cells.end(), Animation::kHold);
        for (auto n = moved + Animation::kCells - held; n > 0; --n) {
            start.rand();
        }
        ASSERT_EQ(start.State(), random.State()) << tick;
        // The picture stands for the first 20 ticks of every 41; other cells are printable.
        for (std::size_t i = 0; i < mask.size(); ++i) {
            const std::uint8_t cell = frame.cells[i];
            ASSERT_TRUE(tick % 41 < 20 && mask[i] == Animation::kHold ? cell == Animation::kHold
                                                                      : cell >= 33 && cell <= 122)
                << tick;
        }
    }
}

} // namespace
