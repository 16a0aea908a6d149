// The one check a phrase and a printed password pass on the command line: as
// the katakana field holds them, within the phrase limit.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cli {

// `text`, the form `given` takes (nothing: a character without a code page 932
// form). Throws kBadText when it cannot be held or is too long, naming `what`
// and, in the length's wording, `limitOwner` ("カタカナ欄は " or nothing).
std::string FieldText(std::string_view what, std::string_view given, const std::optional<std::string>& text,
                      std::string_view limitOwner = {});

} // namespace cli
