// Warnings about a table that the editor's checks let through: keys that
// typed text never holds, and outputs that look alike on a label.
#pragma once

#include "tableedit/TableText.h"

#include <vector>

namespace tableedit {

// A key that katakana mode would change (one with a single-byte character,
// hiragana or half-width kana) is never part of a phrase, so its entry never
// matches. Any other key can be typed, through an input method if not as
// romaji: katakana, kanji, full-width letters; but a key holding the
// full-width space takes the space that marks a capital. Outputs that can be mistaken for each other once
// printed, l, 1 and I (a capital i), O (a capital o) and 0, are named with
// the lines of their entries when the table can give more than one of a group.
// Lines are those of `entries`; a warning about several lines has line 0.
std::vector<TextProblem> TableWarnings(const std::vector<TextEntry>& entries);

} // namespace tableedit
