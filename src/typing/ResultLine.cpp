#include "typing/ResultLine.h"

std::string MatchMessage(std::uint32_t milliseconds) {
    return std::string("パスワードが一致しました。") + std::to_string(milliseconds) + "(ms)";
}

std::string GlyphText(char byte) {
    if (static_cast<unsigned char>(byte) >= 0x80) {
        return std::string("□");
    }
    return std::string(1, byte);
}
