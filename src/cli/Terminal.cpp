#include "cli/Terminal.h"

#include "cli/CliError.h"
#include "platform/FileErrorText.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <system_error>

namespace cli {

std::string OneDecimal(double bits) {
    char digits[32];
    const auto end =
        std::to_chars(std::begin(digits), std::end(digits), bits, std::chars_format::fixed, 1).ptr;
    return std::string(digits, end);
}

void Out(std::string_view utf8) {
    if (std::fwrite(utf8.data(), 1, utf8.size(), stdout) != utf8.size() || std::fflush(stdout) != 0) {
        throw CliError(kUnwritable,
                       "標準出力に書き込めません: " + FileErrorReason({errno, std::generic_category()}));
    }
}

void Error(std::string_view utf8) {
    Note("q8xj-cli: " + std::string(utf8));
}

void Warning(std::string_view utf8) {
    Note("q8xj-cli: 警告: " + std::string(utf8));
}

void Note(std::string_view utf8) {
    std::string line(utf8);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace cli
