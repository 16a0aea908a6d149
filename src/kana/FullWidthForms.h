// The full-width form of every printable ASCII key, as an input method in
// full-width mode gives it when no romaji rule uses the key.
#pragma once

#include <string_view>

// The key's full-width form (UTF-8): ｓ for s, Ｓ for S, １ for 1, ＃ for #,
// the ideographic space for a space. Empty for a key the field refuses: a
// byte outside printable ASCII, or a key with no code page 932 form.
std::string_view FullWidthForm(char key);
