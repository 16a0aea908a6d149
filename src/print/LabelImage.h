// The label as the printer takes it: 384 x 64 dots read from the print image,
// 1 for a dot. Kept free of any drawing library so the print job can pack it.
#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>

class LabelImage {
public:
    static constexpr int kWidth = 384;
    static constexpr int kHeight = 64;
    static constexpr int kStripWidth = 128;
    static constexpr int kStrips = kWidth / kStripWidth;
    static constexpr std::size_t kRowBytes = kStripWidth / 8;
    static constexpr std::size_t kStripBytes = kRowBytes * kHeight;

    using StripBits = std::array<std::uint8_t, kStripBytes>;

    // Outside the label there are no dots, and setting one there does nothing.
    bool Dot(int x, int y) const;
    void SetDot(int x, int y, bool on);
    std::size_t DotCount() const;

    // Strip `index` (0: x 0-127, 1: 128-255, 2: 256-383) as a 1-bit bitmap:
    // 64 rows of 16 bytes, top row first, the most significant bit of a row's
    // first byte leftmost. An index outside 0-2 gives an empty strip.
    StripBits Strip(int index) const;

    bool operator==(const LabelImage&) const = default;

private:
    static bool Inside(int x, int y) { return x >= 0 && x < kWidth && y >= 0 && y < kHeight; }

    std::array<std::bitset<kWidth>, kHeight> m_rows{};
};
