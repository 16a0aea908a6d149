// Fuzz target for the table file reader: any bytes must either load or fail
// cleanly with no entry set, and whatever loads must come back the same from
// a save and a second load (the order of the entries may change).
#include "table/TableFile.h"

#include "support/TableHelpers.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ConversionTable table;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (ParseConversionTable(bytes, table) != TableReadError::None) {
        if (table.GetCount() != 0) {
            std::abort();
        }
        return 0;
    }
    ConversionTable reloaded;
    if (ParseConversionTable(SerializeConversionTable(table), reloaded) != TableReadError::None ||
        !SameEntries(table, reloaded)) {
        std::abort();
    }
    return 0;
}
