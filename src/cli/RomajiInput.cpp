#include "cli/RomajiInput.h"

#include "platform/Cp932.h"
#include "kana/RomajiComposer.h"

namespace cli {

std::optional<std::string> RomajiInput::Compose(std::string_view utf8) {
    RomajiComposer composer;
    std::string out;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[pos]);
        if (b < 0x80 && RomajiComposer::Takes(static_cast<char>(b))) {
            out += composer.Feed(static_cast<char>(b));
            ++pos;
            continue;
        }
        // Anything else ends the composition first, then goes in unchanged.
        out += composer.Flush();
        std::size_t length = 1;
        if (b >= 0xC0) {
            length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
        }
        const auto text = cp932::FromUtf8(utf8.substr(pos, length));
        if (!text) {
            return std::nullopt;
        }
        out += *text;
        pos += length;
    }
    out += composer.Flush();
    return out;
}

} // namespace cli
