// Text that reaches the katakana field other than as a plain ASCII key (an
// input method's commit, a key that carries its own character, a paste, a
// drop, a phrase given to the command line), put into full-width katakana
// mode. It stands in for switching the input method to full-width katakana,
// which a desktop does not let a program do, and it is the one place that
// keeps single-byte characters away from the conversion.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Hiragana become the same katakana, half-width katakana become full-width
// (a voiced or semi-voiced sound mark joins the kana before it), printable
// ASCII and the two other characters that code page 932 keeps in one byte
// become full-width; anything else passes through. The result (UTF-8) holds
// no character that code page 932 keeps in one byte; nothing when a character
// has no code page 932 form.
std::optional<std::string> KatakanaModeText(std::u32string_view text);

// The same for UTF-8 text; nothing also when `utf8` is not valid UTF-8.
std::optional<std::string> KatakanaModeUtf8(std::string_view utf8);

// Whether `utf8` can be part of a phrase: katakana mode leaves it as it is.
// A single-byte character, hiragana or half-width kana never reaches a
// phrase; any double-byte character of code page 932 can, through an input method.
bool InKatakanaMode(std::string_view utf8);

// Whether `mark` is a sound mark that may join the character before it: the
// half-width ﾞ ﾟ or the combining ones.
bool IsJoiningSoundMark(char32_t mark);

// The katakana with the sound mark joined (ガ for カ and ﾞ, パ for ハ and ﾟ,
// ヴ for ウ and ﾞ); 0 when the kana takes no such mark.
char32_t WithSoundMark(char32_t kana, char32_t mark);
