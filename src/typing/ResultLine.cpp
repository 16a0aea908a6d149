#include "typing/ResultLine.h"

#include "platform/Utf8.h"

namespace {

constexpr std::size_t kSpokenPlaces = 5;
constexpr std::string_view kMatched = "パスワードが一致しました。";

// One character as spoken; a place of a character other than ASCII (0x80) is
// said as what it is, since the glyph keeps no more of it.
std::string Spoken(char32_t code) {
    if (code >= 'A' && code <= 'Z') {
        return "大文字 " + std::string(1, static_cast<char>(code));
    }
    if (code == 0x80) {
        return "全角文字";
    }
    std::string text;
    utf8::Append(text, code);
    return text;
}

std::string SpokenPlace(std::size_t place, const Glyph& glyph) {
    const std::string where = std::to_string(place) + " 文字目: ";
    const auto spoken = [](char c) {
        return Spoken(static_cast<unsigned char>(c));
    };
    switch (glyph.kind) {
    case GlyphKind::LeftOut:
        return where + spoken(glyph.expected) + " が抜けています";
    case GlyphKind::Extra:
        return where + "余分な " + spoken(glyph.byte);
    case GlyphKind::Right:
    case GlyphKind::Wrong:
        break;
    }
    return where + spoken(glyph.expected) + " のところ " + spoken(glyph.byte);
}

} // namespace

std::string MatchMessage(std::uint32_t milliseconds) {
    return std::string(kMatched) + std::to_string(milliseconds) + "(ms)";
}

std::string GlyphText(char byte) {
    if (static_cast<unsigned char>(byte) >= 0x80) {
        return std::string("□");
    }
    return std::string(1, byte);
}

std::string SpokenCharacters(std::string_view text) {
    std::string spoken;
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t code = 0;
        const std::size_t width = utf8::StepOne(text.substr(pos), code);
        spoken += (spoken.empty() ? "" : " ") + Spoken(code);
        pos += width;
    }
    return spoken;
}

std::string SpokenResult(const ResultLine& result) {
    if (!result.message.empty()) {
        return std::string(kMatched) + std::to_string(result.milliseconds) + " ミリ秒" +
               (result.best ? "。自己ベストです" : "");
    }
    std::string spoken;
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < result.glyphs.size(); ++i) {
        if (result.glyphs[i].kind != GlyphKind::Right && ++wrong <= kSpokenPlaces) {
            spoken += (wrong == 1 ? "パスワードが違います。" : "、") + SpokenPlace(i + 1, result.glyphs[i]);
        }
    }
    if (wrong > kSpokenPlaces) {
        spoken += "、ほか " + std::to_string(wrong - kSpokenPlaces) + " か所";
    }
    return spoken;
}
