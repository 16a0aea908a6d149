#include "print/FontStyleChoice.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// Faces call their slanted style either; treat them as one.
std::string Slant(std::string_view style) {
    std::string key = Lower(style);
    if (const auto at = key.find("oblique"); at != std::string::npos) {
        key.replace(at, 7, "italic");
    }
    return key;
}

// Names faces give their upright, normal-weight style, most usual first.
constexpr std::array<std::string_view, 7> kRegularNames{"regular", "normal",   "book", "roman",
                                                        "medium",  "standard", "plain"};

} // namespace

std::string ChooseFaceStyle(const std::vector<std::string>& styles, const std::string& current) {
    if (styles.empty()) {
        return {};
    }
    for (const std::string& style : styles) {
        if (style == current) {
            return style;
        }
    }
    const std::string slant = Slant(current);
    for (const std::string& style : styles) {
        if (Slant(style) == slant) {
            return style;
        }
    }
    for (const std::string_view regular : kRegularNames) {
        for (const std::string& style : styles) {
            if (Lower(style) == regular) {
                return style;
            }
        }
    }
    // No usual name: the shortest is the plainest (a face with "Bold" and
    // "Bold Condensed" has no plainer style than "Bold").
    return *std::min_element(styles.begin(), styles.end(),
                             [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
}
