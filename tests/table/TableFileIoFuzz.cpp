// Fuzz target for the table file as a file: the input is written as Q8.xj in a
// new temporary folder, loaded, and saved back when it loaded. A failed
// load leaves the file as it was; a save leaves only Q8.xj behind and
// loads again to the same entries.
#include "table/TableFile.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Entries = std::map<std::string, std::string>;

Entries EntriesOf(const CMapStringToString& map) {
    Entries entries;
    for (const auto& entry : map) {
        entries.emplace(entry.key, entry.value);
    }
    return entries;
}

bool SameEntries(const ConversionTable& a, const ConversionTable& b) {
    return EntriesOf(a.letters) == EntriesOf(b.letters) && EntriesOf(a.digits) == EntriesOf(b.digits) &&
           EntriesOf(a.symbols) == EntriesOf(b.symbols);
}

// A new folder for each input, removed when the input is done: the fuzzer may
// end the process without running exit handlers.
class Folder {
public:
    Folder() {
        std::string pattern = (fs::temp_directory_path() / "q8xj-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        m_path = pattern;
    }
    ~Folder() { fs::remove_all(m_path); }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    const fs::path& Path() const { return m_path; }

private:
    fs::path m_path;
};

std::string ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool OnlyTheTableFile(const Folder& folder) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder.Path())) {
        if (entry.path().filename() != kTableFileName) {
            return false;
        }
        ++count;
    }
    return count == 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Folder folder;
    const fs::path file = folder.Path() / kTableFileName;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;

    ConversionTable table;
    const LoadResult loaded = LoadConversionTable(table, file);
    if (loaded.source != LoadResult::Source::File) {
        // A regular file is never taken for a missing one.
        if (loaded.source != LoadResult::Source::Failed || table.GetCount() != 0 || ReadFile(file) != bytes) {
            std::abort();
        }
        return 0;
    }
    if (SaveConversionTable(table, file) || !OnlyTheTableFile(folder)) {
        std::abort();
    }
    ConversionTable reloaded;
    if (LoadConversionTable(reloaded, file).source != LoadResult::Source::File || !SameEntries(table, reloaded)) {
        std::abort();
    }
    return 0;
}
