#include "cli/RomajiInput.h"

#include "kana/KatakanaMode.h"
#include "kana/RomajiToKatakana.h"

namespace cli {

namespace {

bool IsAscii(char c) {
    return static_cast<unsigned char>(c) < 0x80;
}

} // namespace

std::optional<std::string> ComposeRomaji(std::string_view utf8) {
    std::string out;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const bool ascii = IsAscii(utf8[pos]);
        std::size_t end = pos;
        while (end < utf8.size() && IsAscii(utf8[end]) == ascii) {
            ++end;
        }
        const std::string_view run = utf8.substr(pos, end - pos);
        if (ascii) {
            // Typed keys, committed at the end of the run as leaving the field does.
            out += RomajiToKatakana(run);
        } else {
            // Other text is what an input method would commit into the field.
            const auto katakana = KatakanaModeUtf8(run);
            if (!katakana) {
                return std::nullopt;
            }
            out += *katakana;
        }
        pos = end;
    }
    return out;
}

} // namespace cli
