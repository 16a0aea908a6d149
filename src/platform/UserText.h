// A user's text (a phrase, a file name, an argument, a field of a table text)
// as a one-line message shows it: whatever the text holds, the message stays
// one line of valid UTF-8 that cannot steer the terminal.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Characters of a user's text a message shows before it cuts the rest; a
// file name, which is often a long path, gets more.
inline constexpr std::size_t kShownUserChars = 40;
inline constexpr std::size_t kShownPathChars = 160;

// `utf8` with line ends and tabs as \n, \r, \t, other control characters,
// line separators and direction marks as \xhh or \uhhhh, and bytes that are
// not UTF-8 as \xhh; after `maxChars` characters it is cut, on a character
// boundary, and "…" marks the cut.
std::string ShownUserText(std::string_view utf8, std::size_t maxChars = kShownUserChars);

// The same in 「」.
std::string QuotedUserText(std::string_view utf8, std::size_t maxChars = kShownUserChars);
