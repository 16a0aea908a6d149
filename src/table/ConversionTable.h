// The conversion table: the three maps that always travel together. The main
// dialog owns one for the whole run; loading, saving, the conversion and the
// table editor work on it by reference.
#pragma once

#include "table/CMapStringToString.h"

#include <cstddef>

struct ConversionTable {
    CMapStringToString letters; // key -> one lower-case letter
    CMapStringToString digits;  // key -> one digit
    CMapStringToString symbols; // key -> one of the editor's symbols

    // Keeps each map's 17 buckets.
    void RemoveAll();
    // Entries of all three maps together.
    std::size_t GetCount() const;
};
