#include "kana/KatakanaMode.h"

#include "kana/FullWidthForms.h"
#include "platform/FieldLimit.h"
#include "platform/Utf8.h"

#include <cstddef>

namespace {

constexpr char32_t kFirstHiragana = U'ぁ';
constexpr char32_t kLastHiragana = U'ゖ';
constexpr char32_t kKatakanaOffset = U'ァ' - U'ぁ';

// Half-width katakana U+FF61 to U+FF9F, in code order, as full-width.
constexpr char32_t kFirstHalfWidth = U'｡';
constexpr std::u32string_view kFullWidthOfHalfWidth =
    U"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモ"
    U"ヤユヨラリルレロワン゛゜";
static_assert(kFirstHalfWidth + kFullWidthOfHalfWidth.size() - 1 == U'ﾟ', "half-width row out of step");

constexpr char32_t kHalfVoiced = U'ﾞ';
constexpr char32_t kHalfSemiVoiced = U'ﾟ';
constexpr char32_t kCombiningVoiced = U'\u3099';
constexpr char32_t kCombiningSemiVoiced = U'\u309A';

struct Voicing {
    char32_t kana;
    char32_t voiced;
    char32_t semiVoiced; // 0: none
};

// Only the voiced kana that code page 932 holds: ワ ヰ ヱ ヲ take no mark here.
// clang-format off
constexpr Voicing kVoicings[] = {
    {U'カ', U'ガ', 0}, {U'キ', U'ギ', 0}, {U'ク', U'グ', 0}, {U'ケ', U'ゲ', 0}, {U'コ', U'ゴ', 0},
    {U'サ', U'ザ', 0}, {U'シ', U'ジ', 0}, {U'ス', U'ズ', 0}, {U'セ', U'ゼ', 0}, {U'ソ', U'ゾ', 0},
    {U'タ', U'ダ', 0}, {U'チ', U'ヂ', 0}, {U'ツ', U'ヅ', 0}, {U'テ', U'デ', 0}, {U'ト', U'ド', 0},
    {U'ハ', U'バ', U'パ'}, {U'ヒ', U'ビ', U'ピ'}, {U'フ', U'ブ', U'プ'}, {U'ヘ', U'ベ', U'ペ'},
    {U'ホ', U'ボ', U'ポ'},
    {U'ウ', U'ヴ', 0},
};
// clang-format on

// Characters that code page 932 would keep in one byte, as full-width.
struct Widening {
    char32_t narrow;
    char32_t wide;
};
constexpr Widening kWidenings[] = {{U'¥', U'￥'}, {U'‾', U'￣'}};

bool IsVoicedMark(char32_t mark) {
    return mark == kHalfVoiced || mark == kCombiningVoiced;
}

char32_t Widened(char32_t c) {
    if (c >= kFirstHiragana && c <= kLastHiragana) {
        return c + kKatakanaOffset;
    }
    // The iteration marks ゝ ゞ have katakana twins too.
    if (c == U'ゝ' || c == U'ゞ') {
        return c + kKatakanaOffset;
    }
    if (c >= kFirstHalfWidth && c < kFirstHalfWidth + kFullWidthOfHalfWidth.size()) {
        return kFullWidthOfHalfWidth[c - kFirstHalfWidth];
    }
    if (c == kCombiningVoiced) {
        return U'゛';
    }
    if (c == kCombiningSemiVoiced) {
        return U'゜';
    }
    for (const Widening& w : kWidenings) {
        if (w.narrow == c) {
            return w.wide;
        }
    }
    return c;
}

// The code points of `utf8`; nothing for a byte sequence that is not UTF-8.
std::optional<std::u32string> DecodeUtf8(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const std::size_t length = utf8::DecodeOne(utf8.substr(i), c);
        if (length == 0) {
            return std::nullopt;
        }
        out += c;
        i += length;
    }
    return out;
}

} // namespace

bool IsJoiningSoundMark(char32_t mark) {
    return mark == kHalfVoiced || mark == kHalfSemiVoiced || mark == kCombiningVoiced ||
           mark == kCombiningSemiVoiced;
}

char32_t WithSoundMark(char32_t kana, char32_t mark) {
    if (!IsJoiningSoundMark(mark)) {
        return 0;
    }
    for (const Voicing& v : kVoicings) {
        if (v.kana == kana) {
            return IsVoicedMark(mark) ? v.voiced : v.semiVoiced;
        }
    }
    return 0;
}

std::optional<std::string> KatakanaModeText(std::u32string_view text) {
    std::u32string wide;
    wide.reserve(text.size());
    std::string utf8;
    for (const char32_t c : text) {
        if (IsJoiningSoundMark(c) && !wide.empty()) {
            if (const char32_t joined = WithSoundMark(wide.back(), c)) {
                wide.back() = joined;
                continue;
            }
        }
        if (c < 0x80) {
            const std::string_view form = FullWidthForm(static_cast<char>(c));
            if (form.empty()) {
                return std::nullopt;
            }
            // Already UTF-8: flush what came before and keep the form as it is.
            for (const char32_t w : wide) {
                utf8::Append(utf8, w);
            }
            wide.clear();
            utf8 += form;
            continue;
        }
        wide += Widened(c);
    }
    for (const char32_t w : wide) {
        utf8::Append(utf8, w);
    }
    if (!FieldLimit::Holds(utf8)) {
        return std::nullopt;
    }
    return utf8;
}

std::optional<std::string> KatakanaModeUtf8(std::string_view utf8) {
    const std::optional<std::u32string> text = DecodeUtf8(utf8);
    return text ? KatakanaModeText(*text) : std::nullopt;
}

bool InKatakanaMode(std::string_view utf8) {
    const std::optional<std::string> forms = KatakanaModeUtf8(utf8);
    return forms && *forms == utf8;
}
