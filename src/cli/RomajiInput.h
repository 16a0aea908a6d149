// Romaji typed on the command line, turned into katakana by the rules of the
// katakana field's input helper: key by key through the composer, committed
// at the end as leaving the field does.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cli {

class RomajiInput {
public:
    // Code page 932 katakana for `utf8`; nothing when the result would hold a
    // character code page 932 cannot hold. Keys no rule takes, and text that is
    // not ASCII, go in as they are, as typing them into the field would.
    static std::optional<std::string> Compose(std::string_view utf8);
};

} // namespace cli
