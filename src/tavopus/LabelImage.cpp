#include "tavopus/LabelImage.h"

namespace tavopus {

LabelDots UnpackStrips(std::span<const std::uint8_t, kStripCount * kStripBytes> strips) {
    LabelDots dots(kLabelWidth * kLabelHeight);
    for (int x = 0; x < kLabelWidth; ++x) {
        const auto strip =
            strips.subspan(static_cast<std::size_t>(x / kStripWidth) * kStripBytes, kStripBytes);
        const int c = x % kStripWidth;
        for (int r = 0; r < kLabelHeight; ++r) {
            const auto byte = strip[static_cast<std::size_t>(8 * c + r / 8)];
            dots[static_cast<std::size_t>(r * kLabelWidth + x)] =
                static_cast<std::uint8_t>((byte >> (r % 8)) & 1);
        }
    }
    return dots;
}

} // namespace tavopus
