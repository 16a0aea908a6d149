// UTF-8 one character at a time, for the code that looks at characters
// rather than converting whole texts.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace utf8 {

// A byte of the table file that is not text is carried as this code point
// plus the byte (the last 256 of the last private-use plane), which no
// keyboard gives and code page 932 cannot hold, and is shown as U+FFFD.
inline constexpr char32_t kKeptByte = 0x10FF00;

// The length of the well-formed UTF-8 character at the start of `text`, and
// its code point; 0 when the bytes there are not one.
std::size_t DecodeOne(std::string_view text, char32_t& code);

// How far to step to the next character: DecodeOne's length, or 1 over a
// byte that starts none (`code` then says nothing).
inline std::size_t StepOne(std::string_view text, char32_t& code) {
    const std::size_t length = DecodeOne(text, code);
    return length == 0 ? 1 : length;
}

// The byte-order mark some editors put at the start of a UTF-8 text.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Appends the UTF-8 form of a code point.
void Append(std::string& out, char32_t code);

} // namespace utf8
