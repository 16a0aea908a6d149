#include "cli/FieldText.h"

#include "cli/CliError.h"
#include "platform/FieldLimit.h"
#include "platform/Utf8.h"

#include <cstdio>

namespace cli {
namespace {

std::string Hex(const char* format, unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Where in `given` the first character is that has no form of its own, and
// what it is, for "…の 8 文字目 U+20AC は CP932 で表せません".
std::string FirstWithoutForm(std::string_view given, FieldForm form) {
    std::size_t position = 1;
    for (std::size_t pos = 0; pos < given.size(); ++position) {
        const std::string at = "の " + std::to_string(position) + " 文字目 ";
        char32_t code = 0;
        const std::size_t length = utf8::DecodeOne(given.substr(pos), code);
        if (length == 0) {
            return at + Hex("0x%02X", static_cast<unsigned char>(given[pos])) + " は UTF-8 の文字ではありません";
        }
        if (!form(given.substr(pos, length))) {
            // A tab or another control character is named as what it is, not as a missing form.
            const bool control = code < 0x20 || (code >= 0x7F && code <= 0x9F);
            return at + Hex("U+%04X", static_cast<unsigned>(code)) +
                   (control ? " は制御文字です" : " は CP932 で表せません");
        }
        pos += length;
    }
    return "に CP932 で表せない文字があります";
}

} // namespace

std::optional<std::string> Cp932Form(std::string_view utf8) {
    return FieldLimit::Holds(utf8) ? std::optional<std::string>(utf8) : std::nullopt;
}

std::string FieldText(std::string_view what, std::string_view given, FieldForm form,
                      std::string_view limitOwner) {
    const std::optional<std::string> text = form(given);
    const std::optional<std::size_t> bytes = text ? FieldLimit::Measure(*text) : std::nullopt;
    if (!bytes) {
        throw CliError(kBadText, std::string(what) + FirstWithoutForm(given, form));
    }
    if (*bytes > kPhraseLimit.Bytes()) {
        throw CliError(kBadText, std::string(what) + "は CP932 で " + std::to_string(*bytes) + " バイトあります（" +
                                     std::string(limitOwner) + std::to_string(kPhraseLimit.Bytes()) +
                                     " バイトまで）");
    }
    return *text;
}

} // namespace cli
