// Katakana phrase to password: longest-match lookups of two-byte units in the
// symbols, digits and letters maps, with the capital-letter rules.
#pragma once

#include "platform/CrtRandom.h"
#include "table/ConversionTable.h"

#include <string>
#include <string_view>

struct ConversionOptions {
    bool useDigits = true;
    bool useSymbols = true; // only counts while the symbols map has entries
    bool randomCase = false;
};

// Scans `katakana` (code page 932 bytes) and returns the password. In random
// case mode one number is drawn from `random` at every step; seeding is the
// caller's business.
std::string ConvertKatakana(std::string_view katakana, const ConversionTable& table,
                            const ConversionOptions& options, CrtRandom& random);
