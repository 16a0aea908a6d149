// What the result area under the typing field shows. It is kept rather than
// drawn once, so that the area can paint it again whenever it is uncovered.
#pragma once

#include "typing/ComparisonLine.h"

#include <cstdint>
#include <string>
#include <vector>

struct ResultLine {
    std::string message;       // the match message, empty otherwise
    bool best = false;         // the match equals or beats the best time: drawn in blue
    std::vector<Glyph> glyphs; // the comparison line of a mismatch

    bool IsEmpty() const { return message.empty() && glyphs.empty(); }
};

// The match message for a measured time: "パスワードが一致しました。<ms>(ms)".
std::string MatchMessage(std::uint32_t milliseconds);

// The text a glyph is drawn as. A byte from 0x80 up stands for a place of a
// character other than ASCII, so it is drawn as a white square: visibly
// something other than any password character.
std::string GlyphText(char byte);
