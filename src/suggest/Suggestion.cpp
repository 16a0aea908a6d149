#include "suggest/Suggestion.h"

#include "platform/FieldLimit.h"
#include "suggest/WordList.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace suggest {

std::uint32_t UniformBelow(RandomSource& source, std::uint32_t n) {
    // 2^32 mod n draws at the top would favour the low numbers.
    const std::uint32_t excess = static_cast<std::uint32_t>((std::uint64_t{1} << 32) % n);
    const std::uint32_t limit = std::numeric_limits<std::uint32_t>::max() - excess;
    for (;;) {
        const std::uint32_t draw = source.Next();
        if (draw <= limit) {
            return draw % n;
        }
    }
}

double BitsPerWord(const ConversionTable& table, ConversionOptions options) {
    options.randomCase = false;
    CrtRandom unused;
    std::map<std::string, std::size_t> pieces;
    for (const std::string_view word : Words()) {
        ++pieces[ConvertKatakana(word, table, options, unused)];
    }
    const double total = static_cast<double>(Words().size());
    double bits = 0;
    for (const auto& [piece, count] : pieces) {
        const double p = static_cast<double>(count) / total;
        bits -= p * std::log2(p);
    }
    return bits;
}

int MaxWords() {
    static const int most = [] {
        std::size_t longest = 0;
        for (const std::string_view word : Words()) {
            longest = std::max(longest, FieldLimit::Measure(word).value_or(kPhraseLimit.Bytes()));
        }
        const std::size_t space = *FieldLimit::Measure(kCapitalMark);
        return static_cast<int>((kPhraseLimit.Bytes() + space) / (longest + space));
    }();
    return most;
}

int DefaultWords(double bitsPerWord) {
    if (bitsPerWord <= 0) {
        return MaxWords();
    }
    return std::clamp(static_cast<int>(std::ceil(kTargetBits / bitsPerWord)), 1, MaxWords());
}

std::string Phrase(int words, RandomSource& source) {
    const auto list = Words();
    std::string phrase;
    for (int i = 0; i < words; ++i) {
        if (i > 0) {
            phrase += kCapitalMark;
        }
        phrase += list[UniformBelow(source, static_cast<std::uint32_t>(list.size()))];
    }
    return phrase;
}

} // namespace suggest
