// The list of familiar words in katakana that phrases are suggested from
// (res/words.txt, built into the program): 2 to 5 characters each, every one
// converting to a piece of its own under the built-in table.
#pragma once

#include <span>
#include <string_view>

namespace suggest {

// The words in the list's order; split on first use.
std::span<const std::string_view> Words();

} // namespace suggest
