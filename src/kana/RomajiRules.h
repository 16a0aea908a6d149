// The romaji rules of the katakana field's input helper: which typed letters
// and signs become which full-width katakana.
#pragma once

#include <span>
#include <string_view>

struct RomajiRule {
    std::string_view romaji; // lower-case keys, one to four
    std::string_view kana;   // UTF-8
    std::string_view carry;  // the keys not used up, left pending after the kana
};

std::span<const RomajiRule> RomajiRules();
