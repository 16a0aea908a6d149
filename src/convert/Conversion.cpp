#include "convert/Conversion.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <array>

namespace {

// A key is at most this many characters, each full-width (two bytes).
constexpr std::size_t kMaxKeyChars = kKeyLimit.Bytes() / 2;
constexpr std::size_t kNamedSkips = 3;

// Katakana and the signs typing gives with them (U+3000 to U+303F: the
// full-width space, 、。「」〜; U+30A0 to U+30FF: the katakana, ・ and ー). The
// table leaves some out on purpose (ッ, ー, small kana on their own), so their
// skipping is the table's business, not a character that slipped in.
bool IsKanaOrSign(std::string_view utf8Char) {
    char32_t code = 0;
    return utf8::DecodeOne(utf8Char, code) == utf8Char.size() &&
           ((code >= 0x3000 && code <= 0x303F) || (code >= 0x30A0 && code <= 0x30FF));
}

// The UTF-8 length of the character at the front of `text` (1 for a byte that starts none).
std::size_t CharLength(std::string_view text) {
    char32_t code = 0;
    return utf8::StepOne(text, code);
}

// Upper-cases the ASCII letters; every byte of a longer UTF-8 character is 0x80 or more.
std::string AsciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

} // namespace

std::string ConvertKatakana(std::string_view katakana, const ConversionTable& table,
                            const ConversionOptions& options, CrtRandom& random,
                            std::vector<ConversionStep>* steps) {
    // Symbols before digits before letters at equal key length.
    std::array<const HashOrderMap*, 3> maps{};
    std::array<TableMap, 3> mapNames{};
    std::size_t mapCount = 0;
    if (options.useSymbols && !table.symbols.empty()) {
        mapNames[mapCount] = TableMap::Symbols;
        maps[mapCount++] = &table.symbols;
    }
    if (options.useDigits) {
        mapNames[mapCount] = TableMap::Digits;
        maps[mapCount++] = &table.digits;
    }
    mapNames[mapCount] = TableMap::Letters;
    maps[mapCount++] = &table.letters;

    std::string result;
    result.reserve(katakana.size() / 3 + 1);
    bool pendingCapital = false;
    std::size_t pos = 0;
    while (pos < katakana.size()) {
        if (options.randomCase) {
            pendingCapital = random.rand() % 2 == 1;
        } else if (katakana.substr(pos).starts_with(kCapitalMark)) {
            pendingCapital = true;
        }

        // The keys of three, two and one characters from here; near the end
        // the longest is what is left of the text.
        std::array<std::size_t, kMaxKeyChars> ends{};
        std::size_t end = pos;
        for (std::size_t& e : ends) {
            end += end < katakana.size() ? CharLength(katakana.substr(end)) : 0;
            e = end;
        }
        const std::string* output = nullptr;
        const std::size_t advance = ends[0] - pos;
        std::size_t keyLength = 0;
        std::size_t found = 0;
        for (auto e = ends.rbegin(); e != ends.rend() && output == nullptr; ++e) {
            const std::string_view key = katakana.substr(pos, *e - pos);
            for (std::size_t m = 0; m < mapCount && output == nullptr; ++m) {
                output = maps[m]->find(key);
                found = m;
            }
            keyLength = key.size();
        }
        const std::size_t step = output != nullptr ? keyLength : advance;

        const std::size_t before = result.size();
        if (output != nullptr) {
            if (pendingCapital) {
                result += AsciiUpper(*output);
                pendingCapital = false;
            } else {
                result += *output;
            }
        }
        if (steps != nullptr) {
            ConversionStep taken;
            taken.position = pos;
            if (output != nullptr) {
                taken.length = keyLength;
                taken.map = mapNames[found];
                taken.output = result.substr(before);
            } else {
                taken.length = advance;
            }
            steps->push_back(std::move(taken));
        }
        pos += step;
    }
    return result;
}

std::string SkippedNotice(std::string_view katakana, const std::vector<ConversionStep>& steps) {
    std::vector<std::string_view> skipped;
    bool more = false;
    for (const ConversionStep& step : steps) {
        const std::string_view chars = katakana.substr(step.position, step.length);
        if (step.map || IsKanaOrSign(chars) ||
            std::find(skipped.begin(), skipped.end(), chars) != skipped.end()) {
            continue;
        }
        if (skipped.size() == kNamedSkips) {
            more = true;
            break;
        }
        skipped.push_back(chars);
    }
    if (skipped.empty()) {
        return {};
    }
    std::string notice = "変換されない文字があります: ";
    for (std::size_t i = 0; i < skipped.size(); ++i) {
        notice += (i > 0 ? "、" : "") + std::string(skipped[i]);
    }
    return more ? notice + "…" : notice;
}
