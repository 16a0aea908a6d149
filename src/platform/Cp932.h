// Code page 932 (Shift-JIS) text helpers. Text inside the program is kept as
// code page 932 bytes; lengths and limits are in bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace cp932 {

// True for the first byte of a double-byte character.
constexpr bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Length of the longest prefix of `text` that has at most `maxBytes` bytes and
// does not end in the middle of a double-byte character.
std::size_t FittingPrefix(std::string_view text, std::size_t maxBytes);

// UTF-8 to code page 932; nothing when a character has no code page 932 form.
std::optional<std::string> FromUtf8(std::string_view utf8);

// Code page 932 to UTF-8. A byte sequence that is not valid code page 932
// becomes U+FFFD, so that damaged text still shows.
std::string ToUtf8(std::string_view text);

// The program's own UTF-8 literals in code page 932. Throws std::invalid_argument
// for a literal that code page 932 cannot hold (a programming error).
std::string Text(std::string_view utf8Literal);

// Upper-cases the ASCII letters a-z, leaving double-byte characters alone.
std::string ToUpper(std::string_view text);

} // namespace cp932
