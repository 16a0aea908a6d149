// Fuzz target for the table file reader: any bytes must either load or fail
// cleanly with no entry set, and whatever loads must come back the same from
// a save and a second load.
#include "table/TableFile.h"

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

namespace {

using Entries = std::map<std::string, std::string>;

Entries EntriesOf(const CMapStringToString& map) {
    Entries entries;
    for (const auto& entry : map) {
        entries.emplace(entry.key, entry.value);
    }
    return entries;
}

// The order of the entries may change on the way; the entries may not.
bool SameEntries(const ConversionTable& a, const ConversionTable& b) {
    return EntriesOf(a.letters) == EntriesOf(b.letters) && EntriesOf(a.digits) == EntriesOf(b.digits) &&
           EntriesOf(a.symbols) == EntriesOf(b.symbols);
}

} // namespace

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
