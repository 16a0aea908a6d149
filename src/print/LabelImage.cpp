#include "print/LabelImage.h"

#include <algorithm>

bool LabelImage::Dot(int x, int y) const {
    return Inside(x, y) && m_dots[Index(x, y)] != 0;
}

void LabelImage::SetDot(int x, int y, bool on) {
    if (Inside(x, y)) {
        m_dots[Index(x, y)] = on ? 1 : 0;
    }
}

std::size_t LabelImage::DotCount() const {
    return static_cast<std::size_t>(std::count(m_dots.begin(), m_dots.end(), std::uint8_t{1}));
}
