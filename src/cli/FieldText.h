// The one check a phrase and a printed password pass on the command line: as
// the katakana field holds them, within the phrase limit.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cli {

// The form text takes in the field; nothing when a character has none.
using FieldForm = std::optional<std::string> (*)(std::string_view utf8);

// A printed password's form: the text itself, when code page 932 holds it.
std::optional<std::string> Cp932Form(std::string_view utf8);

// The form `form` gives `given`. Throws kBadText when it has none or is too
// long, naming `what` and, in the length's wording, `limitOwner` ("カタカナ欄は "
// or nothing). The text is a secret: the message names the first character
// without a form by its position and code, never the text.
std::string FieldText(std::string_view what, std::string_view given, FieldForm form,
                      std::string_view limitOwner = {});

} // namespace cli
