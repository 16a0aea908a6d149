// The label image cut into the printer's three strips and packed into the
// column bytes the printer takes.
#pragma once

#include "tavopus/LabelProtocol.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

using tavopus::kLabelDots;
using tavopus::kLabelHeight;
using tavopus::kLabelWidth;
using tavopus::kStripBytes;
using tavopus::kStripCount;
using tavopus::kStripWidth;

// One strip as 1-bit rows: 64 rows of 16 bytes, top row first; the most
// significant bit of a row's first byte is its leftmost pixel.
using StripRows = std::array<std::uint8_t, kStripBytes>;
// One strip packed by columns, as sent to the printer.
using PackedStrip = std::array<std::uint8_t, kStripBytes>;

// Sets bit (r mod 8) of output byte 8*c + r/8 for every set pixel (c, r).
// Only sets bits: `output` must be all zero on entry.
void PackStrip(std::span<std::uint8_t, kStripBytes> output, std::span<const std::uint8_t, kStripBytes> input);

// Cuts a label (kLabelWidth x kLabelHeight, row by row, non-zero = dot) into its
// strips, left to right: strip 0 holds x = 0..127, strip 1 x = 128..255, and so on.
std::array<StripRows, kStripCount> CutLabelIntoStrips(std::span<const std::uint8_t, kLabelDots> dots);

// Cuts the label and packs each strip.
std::array<PackedStrip, kStripCount> PackLabel(std::span<const std::uint8_t, kLabelDots> dots);
