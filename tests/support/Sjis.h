// Test helper: whether code page 932 text is made of double-byte characters only.
#pragma once

#include "platform/Cp932.h"

#include <string_view>

// Whether every character of code page 932 text is double-byte.
inline bool AllDoubleByte(std::string_view cp932Text) {
    for (std::size_t i = 0; i < cp932Text.size(); i += 2) {
        if (!cp932::IsLeadByte(static_cast<unsigned char>(cp932Text[i]))) {
            return false;
        }
    }
    return true;
}
