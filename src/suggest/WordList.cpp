#include "suggest/WordList.h"

#include <algorithm>
#include <vector>

extern const std::string_view kWordsText;

namespace suggest {
namespace {

std::vector<std::string_view> Split(std::string_view text) {
    std::vector<std::string_view> words;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        if (end > 0) {
            words.push_back(text.substr(0, end));
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return words;
}

} // namespace

std::span<const std::string_view> Words() {
    static const std::vector<std::string_view> words = Split(kWordsText);
    return words;
}

} // namespace suggest
