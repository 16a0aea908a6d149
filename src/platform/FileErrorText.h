// Words for a failed file operation: a sentence for a message box, and a
// short reason for a line on a terminal, from one table.
#pragma once

#include <string>
#include <string_view>
#include <system_error>

// Text naming `fileName` and the cause of `error`. Common
// causes have their own sentence; any other gets a general one that carries
// the system's own description.
std::string FileErrorText(const std::error_code& error, std::string_view fileName);

// The cause of `error` in a few UTF-8 words, without the file's name.
std::string FileErrorReason(const std::error_code& error);
