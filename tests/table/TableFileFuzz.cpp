// Fuzz target for the table file reader: any bytes must either load or fail
// cleanly with no entry set, and whatever loads must survive a save and reload.
#include "table/TableFile.h"

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
    const auto saved = SerializeConversionTable(table);
    ConversionTable reloaded;
    if (ParseConversionTable(saved, reloaded) != TableReadError::None) {
        std::abort();
    }
    return 0;
}
