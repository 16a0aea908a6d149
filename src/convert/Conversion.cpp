#include "convert/Conversion.h"

#include "platform/Cp932.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<std::size_t, 3> kKeyLengths{6, 4, 2};
constexpr std::string_view kFullWidthSpace = "\x81\x40";

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
