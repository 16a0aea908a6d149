// What the result area under the typing field shows. It is kept rather than
// drawn once, so that the area can paint it again whenever it is uncovered.
#pragma once

#include "typing/ComparisonLine.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ResultLine {
    std::string message;           // the match message, empty otherwise
    std::uint32_t milliseconds{0}; // the match's time
    bool best = false;             // the match equals or beats the best time: drawn in blue
    std::vector<Glyph> glyphs;     // the comparison line of a mismatch

    bool IsEmpty() const { return message.empty() && glyphs.empty(); }
};

// The match message for a measured time: "パスワードが一致しました。<ms>(ms)".
std::string MatchMessage(std::uint32_t milliseconds);

// The text a glyph is drawn as. A byte from 0x80 up stands for a place of a
// character other than ASCII, so it is drawn as a white square: visibly
// something other than any password character.
std::string GlyphText(char byte);

// Characters one by one with a space between, as a screen reader is to say
// them: read together, "39r" would be a number and a letter. A capital is
// marked, since a voice says it as its small letter.
std::string SpokenCharacters(std::string_view text);

// The result as a screen reader says it, which the line shows only by colour:
// the match with its time, or each place that differs (numbered from 1 as
// drawn) with what the password has there; past five places, how many more.
std::string SpokenResult(const ResultLine& result);
