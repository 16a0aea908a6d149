#include "print/PackStrip.h"

namespace {
constexpr int kRowBytes = kStripWidth / 8;
}

void PackStrip(std::span<std::uint8_t, kStripBytes> output,
               std::span<const std::uint8_t, kStripBytes> input) {
    for (int r = 0; r < kLabelHeight; ++r) {
        for (int c = 0; c < kStripWidth; ++c) {
            const std::uint8_t rowByte = input[static_cast<std::size_t>(r * kRowBytes + c / 8)];
            if ((rowByte & (0x80 >> (c % 8))) != 0) {
                output[static_cast<std::size_t>(8 * c + r / 8)] |= static_cast<std::uint8_t>(1 << (r % 8));
            }
        }
    }
}

std::array<StripRows, kStripCount> CutLabelIntoStrips(std::span<const std::uint8_t, kLabelDots> dots) {
    std::array<StripRows, kStripCount> strips{};
    for (int y = 0; y < kLabelHeight; ++y) {
        for (int x = 0; x < kLabelWidth; ++x) {
            if (dots[static_cast<std::size_t>(y * kLabelWidth + x)] != 0) {
                const int c = x % kStripWidth;
                strips[static_cast<std::size_t>(x / kStripWidth)]
                      [static_cast<std::size_t>(y * kRowBytes + c / 8)] |=
                    static_cast<std::uint8_t>(0x80 >> (c % 8));
            }
        }
    }
    return strips;
}

std::array<PackedStrip, kStripCount> PackLabel(std::span<const std::uint8_t, kLabelDots> dots) {
    const auto rows = CutLabelIntoStrips(dots);
    std::array<PackedStrip, kStripCount> packed{};
    for (std::size_t s = 0; s < packed.size(); ++s) {
        PackStrip(packed[s], rows[s]);
    }
    return packed;
}
