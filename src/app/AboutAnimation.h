// The about box's animation as a state machine without drawing: three colour
// counters that wander up and down, a 41-tick cycle, and a 30 x 4 grid of
// characters in which a small picture of a word stands still for the first 20
// ticks of every cycle while the other cells change at random.
#pragma once

#include "platform/CrtRandom.h"

#include <array>
#include <cstdint>
#include <string_view>

class AboutAnimation {
public:
    static constexpr int kColumns = 30;
    static constexpr int kRows = 4;
    static constexpr int kCells = kColumns * kRows;
    static constexpr int kCycle = 41;     // ticks 0..40
    static constexpr int kHeldTicks = 20; // ticks 0..19 show the picture
    static constexpr std::uint8_t kHold = 7;

    // One byte per cell, row by row.
    using Grid = std::array<std::uint8_t, kCells>;

    struct Colour {
        std::uint8_t red = 0;
        std::uint8_t green = 0;
        std::uint8_t blue = 0;
        friend bool operator==(const Colour&, const Colour&) = default;
    };

    // A colour channel that climbs by random steps until 252, then falls by
    // random steps until 3. Steps of up to 8 let it overshoot to 259 or -4;
    // colours take the low 8 bits, so an overshoot wraps round.
    struct Counter {
        int value = 0;
        bool rising = true;

        // One tick: a step, or at a turning point only the change of direction
        // (which draws no number).
        void Step(CrtRandom& random);
        std::uint8_t Low8() const { return static_cast<std::uint8_t>(value & 0xFF); }
    };

    struct Frame {
        Colour text; // the counters before this tick's steps
        Colour fill; // 255 minus the counters after them
        Grid cells;  // kHold, or a printable byte 33..122
    };

    struct Point {
        int x;
        int y;
        friend bool operator==(const Point&, const Point&) = default;
    };

    // Steps the colours, fills the grid and advances the cycle. Numbers are
    // drawn from `random` in a fixed order (red, green, blue, then the cells
    // row by row); a held cell draws none.
    Frame Tick(CrtRandom& random);

    const Counter& Red() const { return m_counters[0]; }
    const Counter& Green() const { return m_counters[1]; }
    const Counter& Blue() const { return m_counters[2]; }
    // Position in the cycle of the next tick.
    int FrameCounter() const { return m_frame; }

    // Top-left of a cell in an area of width x height pixels.
    static Point CellOrigin(int column, int row, int width, int height);

    // The picture: the word's glyphs, one blank column apart, centred on the grid.
    static constexpr std::string_view kWord = "Q8XJ";
    static Grid BuildMask();

private:
    std::array<Counter, 3> m_counters{};
    int m_frame = 0;
    Grid m_mask = BuildMask();
    Grid m_grid{};
};

// The state shared by every opening of the about box for the life of the process.
AboutAnimation& ProcessAboutAnimation();
