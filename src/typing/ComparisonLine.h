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
    char byte; // the typed byte, or '_' for a left-out glyph
    friend bool operator==(const Glyph&, const Glyph&) = default;
};

// Compares byte by byte: a double-byte character gives two glyphs. The line
// always has max(password.size(), typed.size()) glyphs.
std::vector<Glyph> ComparisonLine(std::string_view password, std::string_view typed);
