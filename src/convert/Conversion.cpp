#include "convert/Conversion.h"

#include "platform/Cp932.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::size_t, 3> kKeyLengths{6, 4, 2};
constexpr std::string_view kFullWidthSpace = "\x81\x40";
constexpr std::size_t kNamedSkips = 3;

// Katakana and the signs typing gives with them (U+3000 to U+303F: the
// full-width space, 、。「」〜; U+30A0 to U+30FF: the katakana, ・ and ー). The
// table leaves some out on purpose (ッ, ー, small kana on their own), so their
// skipping is the table's business, not a character that slipped in.
bool IsKanaOrSign(std::string_view cp932Char) {
    const std::string utf8 = cp932::ToUtf8(cp932Char);
    if (utf8.size() != 3 || utf8[0] != '\xE3') {
        return false;
    }
    const auto second = static_cast<unsigned char>(utf8[1]);
    const auto third = static_cast<unsigned char>(utf8[2]);
    return second == 0x80 || (second == 0x82 && third >= 0xA0) || second == 0x83;
}

} // namespace

std::string ConvertKatakana(std::string_view katakana, const ConversionTable& table,
                            const ConversionOptions& options, CrtRandom& random,
                            std::vector<ConversionStep>* steps) {
    // Symbols before digits before letters at equal key length.
    std::array<const CMapStringToString*, 3> maps{};
    std::array<TableMap, 3> mapNames{};
    std::size_t mapCount = 0;
    if (options.useSymbols && !table.symbols.IsEmpty()) {
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
    result.reserve(katakana.size() / 2 + 1);
    bool pendingCapital = false;
    std::size_t pos = 0;
    while (pos < katakana.size()) {
        if (options.randomCase) {
            pendingCapital = random.rand() % 2 == 1;
        } else if (katakana.substr(pos, 2) == kFullWidthSpace) {
            pendingCapital = true;
        }

        const std::string* output = nullptr;
        std::size_t advance = 2;
        std::size_t keyLength = 0;
        std::size_t found = 0;
        for (const std::size_t length : kKeyLengths) {
            // Near the end the key is what is left of the text.
            const std::string_view key = katakana.substr(pos, length);
            std::uint32_t hash = 0;
            bool hashed = false;
            for (std::size_t m = 0; m < mapCount && output == nullptr; ++m) {
                if (!maps[m]->MayHoldLength(key.size())) {
                    continue;
                }
                if (!hashed) {
                    hash = CMapStringToString::HashKey(key);
                    hashed = true;
                }
                output = maps[m]->Lookup(key, hash);
                found = m;
            }
            if (output != nullptr) {
                advance = length;
                keyLength = key.size();
                break;
            }
        }

        const std::size_t before = result.size();
        if (output != nullptr) {
            if (pendingCapital) {
                result += cp932::ToUpper(*output);
                pendingCapital = false;
            } else {
                result += *output;
            }
        }
        if (steps != nullptr) {
            ConversionStep step;
            step.position = pos;
            if (output != nullptr) {
                step.length = keyLength;
                step.map = mapNames[found];
                step.output = result.substr(before);
            } else {
                step.length = std::min<std::size_t>(2, katakana.size() - pos);
            }
            steps->push_back(std::move(step));
        }
        pos += advance;
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
    std::string notice = cp932::Text("変換されない文字があります: ");
    for (std::size_t i = 0; i < skipped.size(); ++i) {
        notice += (i > 0 ? cp932::Text("、") : std::string()) + std::string(skipped[i]);
    }
    return more ? notice + cp932::Text("…") : notice;
}
