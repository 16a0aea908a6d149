// Romaji typed on the command line, turned into katakana as the katakana
// field types it: ASCII as keys in full-width katakana mode, other text as an
// input method's commit (hiragana and half-width katakana become katakana).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cli {

// Katakana-mode text for `utf8`, all of it full-width; nothing when a
// character has no code page 932 form.
std::optional<std::string> ComposeRomaji(std::string_view utf8);

} // namespace cli
