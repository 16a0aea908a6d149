// The one PNG encoder: a picture of dots (a label) as a 1-bit greyscale PNG,
// dots black, the rest white. Whoever saves the picture hands these bytes to
// the file layer's writer.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace files {

// `dots`: `width` x `height` bytes, row by row from the top, non-zero for a
// dot. Empty when the sizes disagree or libpng gives up.
std::vector<std::uint8_t> EncodeDotsPng(std::span<const std::uint8_t> dots, int width, int height);

} // namespace files
