#include "print/LabelImage.h"

bool LabelImage::Dot(int x, int y) const {
    return Inside(x, y) && m_rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
}

void LabelImage::SetDot(int x, int y, bool on) {
    if (Inside(x, y)) {
        m_rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = on;
    }
}

std::size_t LabelImage::DotCount() const {
    std::size_t count = 0;
    for (const auto& row : m_rows) {
        count += row.count();
    }
    return count;
}

LabelImage::StripBits LabelImage::Strip(int index) const {
    StripBits bits{};
    if (index < 0 || index >= kStrips) {
        return bits;
    }
    const int x0 = index * kStripWidth;
    for (int y = 0; y < kHeight; ++y) {
        for (int c = 0; c < kStripWidth; ++c) {
            if (Dot(x0 + c, y)) {
                const auto byte = static_cast<std::size_t>(y) * kRowBytes + static_cast<std::size_t>(c / 8);
                bits[byte] = static_cast<std::uint8_t>(bits[byte] | (0x80U >> (c % 8)));
            }
        }
    }
    return bits;
}
