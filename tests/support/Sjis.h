// Test helper: code page 932 bytes from a readable UTF-8 literal.
#pragma once

#include "platform/Cp932.h"

#include <string>
#include <string_view>

inline std::string Sjis(std::string_view utf8) {
    return cp932::Text(utf8);
}
