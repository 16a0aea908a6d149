#include "platform/UserText.h"

#include <cstdio>

namespace {

// The length of the well-formed UTF-8 character at the start of `text`, and
// its code point; 0 when the bytes there are not one.
std::size_t DecodeOne(std::string_view text, char32_t& code) {
    const auto byte = [&](std::size_t i) {
        return static_cast<unsigned char>(text[i]);
    };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
        min = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0u) != 0x80u) {
            return 0;
        }
        code = (code << 6) | (byte(i) & 0x3Fu);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

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
        const std::size_t length = DecodeOne(utf8.substr(pos), code);
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
