#include "typing/ComparisonLine.h"

#include <algorithm>

std::vector<Glyph> ComparisonLine(std::string_view password, std::string_view typed) {
    const std::string_view p = password;
    const std::string_view t = typed;
    const std::size_t n = std::max(p.size(), t.size());
    std::vector<Glyph> line;
    line.reserve(n);
    std::size_t i = 0; // into the typed text
    std::size_t j = 0; // into the password
    while (line.size() < n) {
        // A skip or an extra character is only believed when the two bytes after it agree.
        bool advanceI = true;
        bool advanceJ = true;
        if (i >= t.size()) {
            line.push_back({GlyphKind::LeftOut, '_'});
        } else if (j >= p.size()) {
            line.push_back({GlyphKind::Extra, t[i]});
        } else if (t[i] == p[j]) {
            line.push_back({GlyphKind::Right, t[i]});
        } else if (j + 1 < p.size() && i + 1 < t.size()) {
            if (j + 2 < p.size() && p[j + 1] == t[i] && p[j + 2] == t[i + 1]) {
                line.push_back({GlyphKind::LeftOut, '_'});
                advanceI = false;
            } else if (i + 2 < t.size() && p[j] == t[i + 1] && p[j + 1] == t[i + 2]) {
                line.push_back({GlyphKind::Extra, t[i]});
                advanceJ = false;
            } else {
                line.push_back({GlyphKind::Wrong, t[i]});
            }
        } else {
            line.push_back({GlyphKind::Wrong, t[i]});
        }
        i += advanceI ? 1 : 0;
        j += advanceJ ? 1 : 0;
    }
    return line;
}
