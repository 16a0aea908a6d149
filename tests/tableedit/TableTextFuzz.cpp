// Fuzz target for the table text: whatever import accepts fits the table
// file, loads back from it with the same entries, and exported and imported
// again writes the same file.
#include "tableedit/TableText.h"

#include "support/TableHelpers.h"
#include "table/TableFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const tableedit::ImportedTableText imported =
        tableedit::ImportTableText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!imported.problems.empty()) {
        return 0;
    }
    const std::string file = SerializeConversionTable(imported.table);
    ConversionTable loaded;
    if (file.size() > kMaxTableFileBytes || ParseConversionTable(file, loaded) != TableReadError::None ||
        !SameEntries(loaded, imported.table)) {
        std::abort();
    }
    const tableedit::ImportedTableText again = tableedit::ImportTableText(tableedit::ExportTableText(loaded));
    if (!again.problems.empty() || SerializeConversionTable(again.table) != file) {
        std::abort();
    }
    return 0;
}
