// Words for a failed file operation, as the user reads them in a message box.
#pragma once

#include <string>
#include <string_view>
#include <system_error>

// Code page 932 text naming `cp932FileName` and the cause of `error`. Common
// causes have their own sentence; any other gets a general one that carries
// the system's own description.
std::string FileErrorText(const std::error_code& error, std::string_view cp932FileName);
