// Suggested phrases: familiar words drawn uniformly at random from the word
// list and joined by the full-width space, and the strength of that choice,
// known exactly rather than estimated.
#pragma once

#include "convert/Conversion.h"
#include "platform/CrtRandom.h"
#include "table/ConversionTable.h"

#include <cstdint>
#include <string>

namespace suggest {

// A suggestion carries at least this many bits when the table allows.
inline constexpr double kTargetBits = 50;

// A number from 0 to n - 1, every one equally likely: draws that fall in the
// incomplete last block of n are drawn again, so there is no modulo bias.
std::uint32_t UniformBelow(RandomSource& source, std::uint32_t n);

// The bits one drawn word adds under `table` and `options`: the entropy of
// its password piece, so that words whose pieces come out alike count once.
// Random case adds nothing to the figure.
double BitsPerWord(const ConversionTable& table, ConversionOptions options);

// The most words a phrase may have and still fit the katakana field whatever
// words are drawn.
int MaxWords();

// The fewest words that reach kTargetBits at `bitsPerWord`, or MaxWords() when
// they cannot.
int DefaultWords(double bitsPerWord);

// `words` words drawn from `source`, joined by the full-width space.
std::string Phrase(int words, RandomSource& source);

} // namespace suggest
