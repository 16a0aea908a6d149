#include "kana/FullWidthForms.h"

#include <array>
#include <cstddef>

namespace {

struct Form {
    char key;
    std::string_view form; // UTF-8; empty: the key is refused
};

constexpr char kFirstKey = ' ';
constexpr char kLastKey = '~';

// Code page 932 holds every one of these (the two quotes only in its
// extension rows), so no printable key is refused today.
// clang-format off
constexpr Form kForms[] = {
    {' ', "　"}, {'!', "！"}, {'"', "＂"}, {'#', "＃"}, {'$', "＄"}, {'%', "％"}, {'&', "＆"}, {'\'', "＇"},
    {'(', "（"}, {')', "）"}, {'*', "＊"}, {'+', "＋"}, {',', "，"}, {'-', "－"}, {'.', "．"}, {'/', "／"},
    {'0', "０"}, {'1', "１"}, {'2', "２"}, {'3', "３"}, {'4', "４"}, {'5', "５"}, {'6', "６"}, {'7', "７"},
    {'8', "８"}, {'9', "９"}, {':', "："}, {';', "；"}, {'<', "＜"}, {'=', "＝"}, {'>', "＞"}, {'?', "？"},
    {'@', "＠"}, {'A', "Ａ"}, {'B', "Ｂ"}, {'C', "Ｃ"}, {'D', "Ｄ"}, {'E', "Ｅ"}, {'F', "Ｆ"}, {'G', "Ｇ"},
    {'H', "Ｈ"}, {'I', "Ｉ"}, {'J', "Ｊ"}, {'K', "Ｋ"}, {'L', "Ｌ"}, {'M', "Ｍ"}, {'N', "Ｎ"}, {'O', "Ｏ"},
    {'P', "Ｐ"}, {'Q', "Ｑ"}, {'R', "Ｒ"}, {'S', "Ｓ"}, {'T', "Ｔ"}, {'U', "Ｕ"}, {'V', "Ｖ"}, {'W', "Ｗ"},
    {'X', "Ｘ"}, {'Y', "Ｙ"}, {'Z', "Ｚ"}, {'[', "［"}, {'\\', "＼"}, {']', "］"}, {'^', "＾"}, {'_', "＿"},
    {'`', "｀"}, {'a', "ａ"}, {'b', "ｂ"}, {'c', "ｃ"}, {'d', "ｄ"}, {'e', "ｅ"}, {'f', "ｆ"}, {'g', "ｇ"},
    {'h', "ｈ"}, {'i', "ｉ"}, {'j', "ｊ"}, {'k', "ｋ"}, {'l', "ｌ"}, {'m', "ｍ"}, {'n', "ｎ"}, {'o', "ｏ"},
    {'p', "ｐ"}, {'q', "ｑ"}, {'r', "ｒ"}, {'s', "ｓ"}, {'t', "ｔ"}, {'u', "ｕ"}, {'v', "ｖ"}, {'w', "ｗ"},
    {'x', "ｘ"}, {'y', "ｙ"}, {'z', "ｚ"}, {'{', "｛"}, {'|', "｜"}, {'}', "｝"}, {'~', "～"},
};
// clang-format on

// One row per key, in key order, so a key finds its row by subtraction.
constexpr bool RowsFollowTheKeys() {
    if (std::size(kForms) != static_cast<std::size_t>(kLastKey - kFirstKey + 1)) {
        return false;
    }
    for (std::size_t i = 0; i < std::size(kForms); ++i) {
        if (kForms[i].key != static_cast<char>(kFirstKey + static_cast<int>(i))) {
            return false;
        }
    }
    return true;
}

static_assert(RowsFollowTheKeys(), "full-width forms out of key order");

} // namespace

std::string_view FullWidthForm(char key) {
    if (key < kFirstKey || key > kLastKey) {
        return {};
    }
    return kForms[static_cast<std::size_t>(key - kFirstKey)].form;
}
