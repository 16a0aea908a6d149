// Fuzz target for the table file as a file: the input is written as Q8.xj in a
// new temporary folder (one per input: the fuzzer may end the process without
// running exit handlers), loaded, and saved back when it loaded. A failed
// load leaves the file as it was; a save leaves only Q8.xj behind and
// loads again to the same entries.
#include "table/TableFile.h"

#include "support/TableHelpers.h"
#include "support/TempFolder.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const TempFolder folder("q8xj-fuzz");
    const auto file = folder / kTableFileName;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    WriteWhole(file, bytes);

    ConversionTable table;
    const LoadResult loaded = LoadConversionTable(table, file);
    if (loaded.source != LoadResult::Source::File) {
        // A regular file is never taken for a missing one.
        if (loaded.source != LoadResult::Source::Failed || table.size() != 0 ||
            ReadWhole(file) != bytes) {
            std::abort();
        }
        return 0;
    }
    if (SaveConversionTable(table, file) || folder.Names() != std::vector<std::string>{kTableFileName}) {
        std::abort();
    }
    ConversionTable reloaded;
    if (LoadConversionTable(reloaded, file).source != LoadResult::Source::File ||
        !SameEntries(table, reloaded)) {
        std::abort();
    }
    return 0;
}
