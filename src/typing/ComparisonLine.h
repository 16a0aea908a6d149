// The picture of a mistyped password: the typed text set against the password,
// one glyph per position, recognising a single skipped or extra character.
#pragma once

#include <string_view>
#include <vector>

enum class GlyphKind {
    Right,   // typed byte drawn in black
    Wrong,   // typed byte drawn in red
    LeftOut, // red '_' where a password byte is missing
    Extra,   // typed byte drawn red and underlined
};

struct Glyph {
    GlyphKind kind;
    char byte;         // the typed ASCII character, 0x80 for any other, or '_' for a left-out glyph
    char expected = 0; // the password's character there, drawn alike; 0 beside an extra one
    friend bool operator==(const Glyph&, const Glyph&) = default;
};

// Compares place by place, a character taking as many places as its code page
// 932 bytes: a full-width character gives two glyphs. The line always has as
// many glyphs as the longer text has places.
std::vector<Glyph> ComparisonLine(std::string_view password, std::string_view typed);
