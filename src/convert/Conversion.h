// Katakana phrase to password: longest-match lookups of up to three characters
// in the symbols, digits and letters maps, with the capital-letter rules.
#pragma once

#include "platform/CrtRandom.h"
#include "table/ConversionTable.h"
#include "platform/FieldLimit.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The full-width space in a phrase marks the next letter as a capital.
inline constexpr std::string_view kCapitalMark = "\u3000";

struct ConversionOptions {
    bool useDigits = true;
    bool useSymbols = true; // only counts while the symbols map has entries
    bool randomCase = false;
};

// One step of the scan, for showing why a password came out as it did.
struct ConversionStep {
    std::size_t position = 0;    // UTF-8 byte offset into the phrase
    std::size_t length = 0;      // UTF-8 bytes of the key found, or of the character skipped
    std::optional<TableMap> map; // nothing: the character matched nothing and was skipped
    std::string output;          // what was appended, capital applied; empty when skipped
};

// Scans `katakana` (UTF-8) and returns the password. In random
// case mode one number is drawn from `random` at every step; seeding is the
// caller's business. When `steps` is given, every step of the scan is added to it.
std::string ConvertKatakana(std::string_view katakana, const ConversionTable& table,
                            const ConversionOptions& options, CrtRandom& random,
                            std::vector<ConversionStep>* steps = nullptr);

// What the user is told when the scan in `steps` skipped characters of
// `katakana` that slipped into the phrase, such as a kanji or
// a full-width letter: "変換されない文字があります: 桜、Ｓ", naming each
// character once in the order met, at most the first three. Skipped katakana
// and Japanese signs (ッ, ー, 、, the full-width space that marks a capital)
// are the table's choice and are not named. Empty when there is nothing to say.
std::string SkippedNotice(std::string_view katakana, const std::vector<ConversionStep>& steps);
