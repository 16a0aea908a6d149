// Fuzz target for the table file reader: any bytes must either load or fail
// cleanly with no entry set, and whatever loads must survive a save and reload.
#include "table/TableFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CMapStringToString letters, digits, symbols;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (ParseConversionTable(bytes, letters, digits, symbols) != TableReadError::None) {
        if (letters.GetCount() + digits.GetCount() + symbols.GetCount() != 0) {
            std::abort();
        }
        return 0;
    }
    const auto saved = SerializeConversionTable(letters, digits, symbols);
    CMapStringToString l2, d2, s2;
    if (ParseConversionTable(saved, l2, d2, s2) != TableReadError::None) {
        std::abort();
    }
    return 0;
}
