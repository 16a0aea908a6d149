// Reading a whole file and writing one so that a failure leaves nothing
// behind: the bytes go to a fresh file beside the target, which then takes
// the target's place.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace cli {

class Files {
public:
    // The file's bytes; "-" reads standard input. Throws an unreadable-input error.
    static std::string Read(const std::string& name);
    // Writes `bytes` to `name`, or to standard output for "-". Throws an unwritable-output error.
    static void Write(const std::string& name, std::string_view bytes);
};

} // namespace cli
