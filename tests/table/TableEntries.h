// The entries of a table's maps, whatever their order.
#pragma once

#include "table/ConversionTable.h"

#include <map>
#include <string>

using Entries = std::map<std::string, std::string>;

inline Entries EntriesOf(const CMapStringToString& map) {
    Entries entries;
    for (const auto& entry : map) {
        entries[entry.key] = entry.value;
    }
    return entries;
}

inline bool SameEntries(const ConversionTable& a, const ConversionTable& b) {
    return EntriesOf(a.letters) == EntriesOf(b.letters) && EntriesOf(a.digits) == EntriesOf(b.digits) &&
           EntriesOf(a.symbols) == EntriesOf(b.symbols);
}
