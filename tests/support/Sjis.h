// Test helper: whether text is made of full-width characters only.
#pragma once

#include "platform/Cp932.h"
#include "platform/Utf8.h"

#include <string_view>

// Whether every character of UTF-8 text takes two code page 932 bytes.
inline bool AllDoubleByte(std::string_view utf8) {
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t code = 0;
        const std::size_t width = utf8::DecodeOne(utf8.substr(pos), code);
        if (width == 0 || cp932::Length(utf8.substr(pos, width)) != 2u) {
            return false;
        }
        pos += width;
    }
    return true;
}
