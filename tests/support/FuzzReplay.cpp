// Runs a fuzz target over every file of the folders named on the command
// line, so the seed corpus is replayed as an ordinary test.
#include "support/TempFolder.h"

#include <cstdint>
#include <iostream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    std::size_t runs = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
            const std::string bytes = ReadWhole(entry.path());
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++runs;
        }
    }
    std::cout << "replayed " << runs << " inputs\n";
    return runs > 0 ? 0 : 1;
}
