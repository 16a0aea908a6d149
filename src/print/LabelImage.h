// The label as the printer takes it: 384 x 64 dots read from the print image,
// 1 for a dot. Kept free of any drawing library; its dots go to PackLabel.
#pragma once

#include "print/PackStrip.h"

#include <array>
#include <cstddef>
#include <cstdint>

class LabelImage {
public:
    static constexpr int kWidth = kLabelWidth;
    static constexpr int kHeight = kLabelHeight;

    // Row by row, top row first, 1 for a dot.
    using Dots = std::array<std::uint8_t, kLabelDots>;

    // Outside the label there are no dots, and setting one there does nothing.
    bool Dot(int x, int y) const;
    void SetDot(int x, int y, bool on);
    std::size_t DotCount() const;

    const Dots& Data() const { return m_dots; }

    bool operator==(const LabelImage&) const = default;

private:
    static bool Inside(int x, int y) { return x >= 0 && x < kWidth && y >= 0 && y < kHeight; }
    static std::size_t Index(int x, int y) { return static_cast<std::size_t>(y * kWidth + x); }

    Dots m_dots{};
};
