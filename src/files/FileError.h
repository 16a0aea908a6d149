// The file layer's own refusals, as error codes beside the system's, so that
// every caller words a failure the same way.
#pragma once

#include <system_error>

namespace files {

enum class FileError {
    EmptyName = 1, // an empty name
    NotRegular,    // something other than a regular file where only one will do
    SameAsTable,   // the output would overwrite the table being read
    ReadOnly,      // the user could not write the file itself
    NoReader,      // a FIFO that nobody reads
    NoWriter,      // a FIFO that nobody writes
    NoData,        // a device that has nothing to read now
    TooLarge,      // past the size the reader takes
    LineTooLong,   // a line past the line limit
    DanglingLink,  // a link to a file that is not there (a drive not mounted)
};

const std::error_category& FileErrorCategory();

inline std::error_code make_error_code(FileError error) {
    return {static_cast<int>(error), FileErrorCategory()};
}

} // namespace files

template <> struct std::is_error_code_enum<files::FileError> : std::true_type {};
