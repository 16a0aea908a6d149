// The table editor's two checks on a key before it goes into a map: its
// length and whether the map already holds it. Kept apart from the dialog so
// that every way of editing the table asks the same questions in the same words.
#pragma once

#include "table/ConversionTable.h"
#include "platform/FieldLimit.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tableedit {

struct LongKey {
    std::string cut;     // the key cut at a character to the key limit
    std::string message; // the editor's question
};

// Nothing when `key` fits the key limit.
std::optional<LongKey> CheckKeyLength(std::string_view key);

// Nothing when the table file keeps `key` whole; otherwise the message naming
// the byte at which the file would cut it.
std::optional<std::string> CheckStorableKey(std::string_view key);

// Nothing when `map` does not hold `key` yet; otherwise the editor's question,
// naming the output the key has now and the `output` it is about to get.
std::optional<std::string> CheckDuplicateKey(const HashOrderMap& map, std::string_view key,
                                             std::string_view output);

} // namespace tableedit
