// Table files far larger than any real table, for the benchmarks.
#pragma once

#include "table/ConversionTable.h"
#include "table/TableFile.h"

#include <string>

// A file of n distinct keys, all in the letters map.
inline std::string FileOfEntries(std::size_t n) {
    ConversionTable table;
    for (std::size_t i = 0; i < n; ++i) {
        table.letters.insert_or_assign("k" + std::to_string(i), "a");
    }
    return SerializeConversionTable(table);
}

// As many entries as fit in `bytes`.
inline std::string FileOfSize(std::size_t bytes) {
    std::size_t n = bytes / 16;
    std::string file = FileOfEntries(n);
    while (file.size() < bytes - 64) {
        n += (bytes - file.size()) / 12 + 1;
        file = FileOfEntries(n);
    }
    return file.size() <= bytes ? file : FileOfEntries(n - 8);
}
