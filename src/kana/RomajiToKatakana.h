// Romaji to full-width katakana in one call, for callers without a field:
// the same result as typing the keys one by one into the katakana field and
// then pressing Enter.
#pragma once

#include <string>
#include <string_view>

// Code page 932 katakana, full-width signs and full-width forms for `romaji`.
// A byte the field does not type (a control character, a byte outside ASCII)
// commits the pending keys, as Enter or Tab would, and adds nothing. No byte
// limit applies.
std::string RomajiToKatakana(std::string_view romaji);
