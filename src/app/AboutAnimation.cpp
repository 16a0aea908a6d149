#include "app/AboutAnimation.h"

#include <cstddef>

namespace {

struct Glyph {
    char letter;
    std::array<std::string_view, AboutAnimation::kRows> rows; // '#' holds the cell
};

// A pixel font just tall enough for the grid: four cells high, three or four wide.
constexpr std::array<Glyph, 4> kGlyphs{{
    {'Q', {".##.", "#..#", "#.##", ".###"}},
    {'8', {"###", "#.#", "###", "###"}},
    {'X', {"#..#", ".##.", ".##.", "#..#"}},
    {'J', {"..#", "..#", "#.#", ".#."}},
}};

constexpr const Glyph* FindGlyph(char letter) {
    for (const auto& glyph : kGlyphs) {
        if (glyph.letter == letter) {
            return &glyph;
        }
    }
    return nullptr;
}

constexpr bool GlyphsAreWellFormed() {
    for (const auto& glyph : kGlyphs) {
        const std::size_t width = glyph.rows[0].size();
        if (width < 3 || width > 4) {
            return false;
        }
        for (const auto row : glyph.rows) {
            if (row.size() != width || row.find_first_not_of(".#") != std::string_view::npos) {
                return false;
            }
        }
    }
    for (const char letter : AboutAnimation::kWord) {
        if (FindGlyph(letter) == nullptr) {
            return false;
        }
    }
    return true;
}

constexpr int WordWidth() {
    int width = -1;
    for (const char letter : AboutAnimation::kWord) {
        width += static_cast<int>(FindGlyph(letter)->rows[0].size()) + 1;
    }
    return width;
}

static_assert(GlyphsAreWellFormed());
static_assert(WordWidth() <= AboutAnimation::kColumns);

constexpr AboutAnimation::Grid ComposeMask() {
    AboutAnimation::Grid mask{};
    int left = (AboutAnimation::kColumns - WordWidth()) / 2;
    for (const char letter : AboutAnimation::kWord) {
        const Glyph& glyph = *FindGlyph(letter);
        for (int row = 0; row < AboutAnimation::kRows; ++row) {
            const std::string_view bits = glyph.rows[static_cast<std::size_t>(row)];
            for (std::size_t c = 0; c < bits.size(); ++c) {
                if (bits[c] == '#') {
                    mask[static_cast<std::size_t>(row * AboutAnimation::kColumns + left) + c] =
                        AboutAnimation::kHold;
                }
            }
        }
        left += static_cast<int>(glyph.rows[0].size()) + 1;
    }
    return mask;
}

// A printable character, '!' to 'z'.
std::uint8_t RandomCharacter(CrtRandom& random) {
    return static_cast<std::uint8_t>(random.rand() % 90 + 33);
}

AboutAnimation::Colour ColourOf(const AboutAnimation& a) {
    return {a.Red().Low8(), a.Green().Low8(), a.Blue().Low8()};
}

} // namespace

void AboutAnimation::Counter::Step(CrtRandom& random) {
    if (rising) {
        if (value < 252) {
            value += random.rand() % 8 + 1;
        } else {
            rising = false;
        }
    } else {
        if (value > 3) {
            value -= random.rand() % 8 + 1;
        } else {
            rising = true;
        }
    }
}

AboutAnimation::Frame AboutAnimation::Tick(CrtRandom& random) {
    Frame frame;
    frame.text = ColourOf(*this);
    for (auto& counter : m_counters) {
        counter.Step(random);
    }
    const Colour after = ColourOf(*this);
    frame.fill = {static_cast<std::uint8_t>(255 - after.red), static_cast<std::uint8_t>(255 - after.green),
                  static_cast<std::uint8_t>(255 - after.blue)};

    const bool showPicture = m_frame < kHeldTicks;
    if (showPicture) {
        m_grid = m_mask;
    }
    for (auto& cell : m_grid) {
        if (cell != kHold || !showPicture) {
            cell = RandomCharacter(random);
        }
    }
    frame.cells = m_grid;

    m_frame = m_frame == kCycle - 1 ? 0 : m_frame + 1;
    return frame;
}

AboutAnimation::Point AboutAnimation::CellOrigin(int column, int row, int width, int height) {
    return {(width - 1) * column / kColumns, (height - 1) * row / kRows};
}

AboutAnimation::Grid AboutAnimation::BuildMask() {
    return ComposeMask();
}

AboutAnimation& ProcessAboutAnimation() {
    static AboutAnimation animation;
    return animation;
}
