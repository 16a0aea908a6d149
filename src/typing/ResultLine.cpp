#include "typing/ResultLine.h"

#include "platform/Cp932.h"

std::string MatchMessage(std::uint32_t milliseconds) {
    return cp932::Text("パスワードが一致しました。") + std::to_string(milliseconds) + "(ms)";
}

std::string GlyphText(char byte) {
    if (static_cast<unsigned char>(byte) >= 0x80) {
        return cp932::Text("□");
    }
    return std::string(1, byte);
}
