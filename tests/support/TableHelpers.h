// The tests' view of a conversion table: its entries whatever their order,
// and the built-in table.
#pragma once

#include "table/ConversionTable.h"
#include "table/DefaultTable.h"

#include <algorithm>
#include <map>
#include <string>

using Entries = std::map<std::string, std::string>;

inline Entries EntriesOf(const HashOrderMap& map) {
    Entries entries;
    for (const auto& entry : map) {
        entries[entry.key] = entry.value;
    }
    return entries;
}

inline bool SameEntries(const ConversionTable& a, const ConversionTable& b) {
    return std::ranges::all_of(kTableMaps,
                               [&](TableMap map) { return EntriesOf(a.Map(map)) == EntriesOf(b.Map(map)); });
}

inline ConversionTable Defaults() {
    ConversionTable table;
    FillDefaultTable(table);
    return table;
}
