// A failure that ends a command: a one-line message for standard error and
// the exit code it maps to.
#pragma once

#include "cli/ExitCode.h"

#include <stdexcept>
#include <string>

namespace cli {

class CliError : public std::runtime_error {
public:
    CliError(ExitCode code, const std::string& message)
        : std::runtime_error(message)
        , m_code(code) {}

    ExitCode Code() const { return m_code; }

private:
    ExitCode m_code;
};

} // namespace cli
