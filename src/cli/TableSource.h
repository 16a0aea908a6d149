// Which conversion table a command works on: the table file named by
// --table, or "Q8.xj" in the working folder, with the built-in table while
// that file does not exist, as the window does.
#pragma once

#include "table/ConversionTable.h"

#include <string>

namespace cli {

class TableSource {
public:
    // `named`: the user gave the file; its absence is then worth a warning.
    TableSource(std::string file, bool named);

    const std::string& File() const { return m_file; }

    // The table. A file that exists but cannot be opened or read is an error
    // (the window would fall back silently; a script should hear of it).
    ConversionTable Load() const;

    // Writes `table` to the file, replacing it whole or not at all.
    void Save(const ConversionTable& table) const;

private:
    std::string m_file;
    bool m_named;
};

} // namespace cli
