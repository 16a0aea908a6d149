#include "platform/UserText.h"

#include "platform/Utf8.h"

#include <cstdio>

namespace {

// Characters that break the line, move the cursor or turn the text around.
bool Hidden(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || c == 0x200E || c == 0x200F ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

std::string Escaped(char32_t c) {
    switch (c) {
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\t':
        return "\\t";
    default:
        break;
    }
    char text[12];
    std::snprintf(text, sizeof text, c < 0x80 ? "\\x%02x" : "\\u%04x", static_cast<unsigned>(c));
    return text;
}

} // namespace

std::string ShownUserText(std::string_view utf8, std::size_t maxChars) {
    std::string out;
    std::size_t chars = 0;
    for (std::size_t pos = 0; pos < utf8.size(); ++chars) {
        if (chars == maxChars) {
            return out + "…";
        }
        char32_t code = 0;
        const std::size_t length = utf8::DecodeOne(utf8.substr(pos), code);
        if (length == 0) {
            char text[8];
            std::snprintf(text, sizeof text, "\\x%02x", static_cast<unsigned char>(utf8[pos]));
            out += text;
            ++pos;
            continue;
        }
        out += Hidden(code) ? Escaped(code) : std::string(utf8.substr(pos, length));
        pos += length;
    }
    return out;
}

std::string QuotedUserText(std::string_view utf8, std::size_t maxChars) {
    return "「" + ShownUserText(utf8, maxChars) + "」";
}
