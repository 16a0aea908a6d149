// The conversion table: the three maps that always travel together. The main
// dialog owns one for the whole run; loading, saving, the conversion and the
// table editor work on it by reference.
#pragma once

#include "table/HashOrderMap.h"

#include <array>
#include <cstddef>
#include <string_view>

// The three maps, in the order the table file holds them.
enum class TableMap { Letters, Digits, Symbols };
inline constexpr std::array<TableMap, 3> kTableMaps{TableMap::Letters, TableMap::Digits, TableMap::Symbols};

// "letters", "digits", "symbols": the maps' names in the table text and the CLI.
std::string_view TableMapName(TableMap map);

struct ConversionTable {
    HashOrderMap letters; // key -> one lower-case letter
    HashOrderMap digits;  // key -> one digit
    HashOrderMap symbols; // key -> one of the editor's symbols

    HashOrderMap& Map(TableMap map);
    const HashOrderMap& Map(TableMap map) const;

    // Keeps each map's 17 buckets.
    void clear();
    // Entries of all three maps together.
    std::size_t size() const;
};
