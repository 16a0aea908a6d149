// Code page 932 (Shift-JIS) as a measure: text inside the program is UTF-8,
// but the phrase's and a key's limits are set in code page 932 bytes, and a
// character that code page 932 cannot hold is refused.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace cp932 {

// The bytes UTF-8 `text` takes in code page 932; nothing when a character
// has no code page 932 form.
std::optional<std::size_t> Length(std::string_view utf8);

// Length of the longest prefix of UTF-8 `text`, ending at a character, that
// takes at most `maxBytes` bytes in code page 932; it stops before a
// character that code page 932 cannot hold.
std::size_t FittingPrefix(std::string_view utf8, std::size_t maxBytes);

} // namespace cp932
