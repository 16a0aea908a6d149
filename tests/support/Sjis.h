// Test helpers: code page 932 bytes from a readable UTF-8 literal, and their characters.
#pragma once

#include "platform/Cp932.h"

#include <string>
#include <string_view>

inline std::string Sjis(std::string_view utf8) {
    return cp932::Text(utf8);
}

// Whether every character of code page 932 text is double-byte.
inline bool AllDoubleByte(std::string_view cp932Text) {
    for (std::size_t i = 0; i < cp932Text.size(); i += 2) {
        if (!cp932::IsLeadByte(static_cast<unsigned char>(cp932Text[i]))) {
            return false;
        }
    }
    return true;
}
