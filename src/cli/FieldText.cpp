#include "cli/FieldText.h"

#include "cli/CliError.h"
#include "convert/Conversion.h"
#include "platform/Cp932.h"
#include "platform/UserText.h"

namespace cli {

std::string FieldText(std::string_view what, std::string_view given, const std::optional<std::string>& text,
                      std::string_view limitOwner) {
    const std::optional<std::size_t> bytes = text ? cp932::Length(*text) : std::nullopt;
    if (!bytes) {
        throw CliError(kBadText, std::string(what) + QuotedUserText(given) + "に CP932 で表せない文字があります");
    }
    if (*bytes > kKatakanaLimit) {
        throw CliError(kBadText, std::string(what) + QuotedUserText(given) + "は CP932 で " +
                                     std::to_string(*bytes) + " バイトあります（" + std::string(limitOwner) +
                                     std::to_string(kKatakanaLimit) + " バイトまで）");
    }
    return *text;
}

} // namespace cli
