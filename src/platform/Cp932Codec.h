// The conversion between UTF-8 and code page 932 bytes, for the table file
// alone: its keys and values are code page 932 bytes, and the order of its
// entries follows from them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cp932 {

// UTF-8 to code page 932; nothing when a character has no code page 932 form.
// The code points Decode gives bytes that are not code page 932 become those
// bytes again.
std::optional<std::string> Encode(std::string_view utf8);

// Code page 932 to UTF-8. A byte that is not part of a code page 932
// character becomes utf8::kKeptByte + the byte, so that a damaged table file
// still shows and saves its entries as they were.
std::string Decode(std::string_view bytes);

} // namespace cp932
