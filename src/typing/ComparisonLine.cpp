#include "typing/ComparisonLine.h"

#include "platform/FieldLimit.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <string>

namespace {

// The text as places on the line: a character takes as many as its code page
// 932 bytes, so a full-width one is two glyphs, as it always was.
std::u32string Places(std::string_view utf8) {
    std::u32string places;
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t code = 0;
        const std::size_t width = utf8::StepOne(utf8.substr(pos), code);
        const std::size_t bytes = code < 0x80 ? 1 : FieldLimit::Measure(utf8.substr(pos, width)).value_or(1);
        places.append(bytes, width == 1 ? static_cast<unsigned char>(utf8[pos]) : code);
        pos += width;
    }
    return places;
}

// What a glyph is drawn from: ASCII as it is, any other character as 0x80.
char Drawn(char32_t place) {
    return place < 0x80 ? static_cast<char>(place) : '\x80';
}

} // namespace

std::vector<Glyph> ComparisonLine(std::string_view password, std::string_view typed) {
    const std::u32string p = Places(password);
    const std::u32string t = Places(typed);
    const std::size_t n = std::max(p.size(), t.size());
    std::vector<Glyph> line;
    line.reserve(n);
    std::size_t i = 0; // into the typed text
    std::size_t j = 0; // into the password
    while (line.size() < n) {
        // A skip or an extra character is only believed when the two bytes after it agree.
        bool advanceI = true;
        bool advanceJ = true;
        // What the password has at this place, if anything.
        const char expected = j < p.size() ? Drawn(p[j]) : '\0';
        if (i >= t.size()) {
            line.push_back({GlyphKind::LeftOut, '_', expected});
        } else if (j >= p.size()) {
            line.push_back({GlyphKind::Extra, Drawn(t[i])});
        } else if (t[i] == p[j]) {
            line.push_back({GlyphKind::Right, Drawn(t[i]), expected});
        } else if (j + 1 < p.size() && i + 1 < t.size()) {
            if (j + 2 < p.size() && p[j + 1] == t[i] && p[j + 2] == t[i + 1]) {
                line.push_back({GlyphKind::LeftOut, '_', expected});
                advanceI = false;
            } else if (i + 2 < t.size() && p[j] == t[i + 1] && p[j + 1] == t[i + 2]) {
                line.push_back({GlyphKind::Extra, Drawn(t[i])});
                advanceJ = false;
            } else {
                line.push_back({GlyphKind::Wrong, Drawn(t[i]), expected});
            }
        } else {
            line.push_back({GlyphKind::Wrong, Drawn(t[i]), expected});
        }
        i += advanceI ? 1 : 0;
        j += advanceJ ? 1 : 0;
    }
    return line;
}
