#include "cli/FieldText.h"

#include "cli/CliError.h"
#include "platform/FieldLimit.h"
#include "platform/UserText.h"

#include <algorithm>

namespace cli {

std::string FieldText(std::string_view what, std::string_view given, const std::optional<std::string>& text,
                      std::string_view limitOwner) {
    const std::optional<std::size_t> bytes = text ? FieldLimit::Measure(*text) : std::nullopt;
    if (!bytes) {
        // A tab or another control character is named as what it is, not as a missing form.
        const bool control =
            std::any_of(given.begin(), given.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; });
        throw CliError(kBadText,
                       std::string(what) + QuotedUserText(given) +
                           (control ? "に制御文字があります" : "に CP932 で表せない文字があります"));
    }
    if (*bytes > kPhraseLimit.Bytes()) {
        throw CliError(kBadText, std::string(what) + QuotedUserText(given) + "は CP932 で " +
                                     std::to_string(*bytes) + " バイトあります（" + std::string(limitOwner) +
                                     std::to_string(kPhraseLimit.Bytes()) + " バイトまで）");
    }
    return *text;
}

} // namespace cli
