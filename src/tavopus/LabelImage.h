// A 384 x 64 label as the printer receives it (three packed strips of 128
// columns), unpacked into its dots.
#pragma once

#include "tavopus/LabelProtocol.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tavopus {

// One byte per dot, row by row from the top; 1 is a dot.
using LabelDots = std::vector<std::uint8_t>;

// Undoes the column packing: in a strip, column c's dot in row r is bit
// (r mod 8) of byte 8c + (r div 8). Takes the three strips one after another.
LabelDots UnpackStrips(std::span<const std::uint8_t, kStripCount * kStripBytes> strips);

} // namespace tavopus
