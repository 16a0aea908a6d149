// The table file "Q8.xj": three serialised string maps, keys stored with every
// byte increased by 2. Read at start-up and when the editor is left without
// saving; written by the editor's save.
#pragma once

#include "table/ConversionTable.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

// Always this relative name, so the file lies in the current working directory.
inline constexpr const char* kTableFileName = "Q8.xj";

enum class TableReadError {
    None,
    EndOfFile,        // the file ends before its layout is complete
    BadClass,         // the class description is not CMapStringToString, schema 0
    BadFormat,        // not three maps, or a length form the format does not have
    UnexpectedObject, // an object tag other than the ones the layout allows
    TrailingData,     // bytes after the third map
    TooLarge,         // larger than kMaxTableFileBytes
    ReadFailed,       // the system failed to read the opened file
};

// Far above any real table (191 entries take some 2 KiB); a larger file is
// refused before it is read, like a damaged one.
inline constexpr std::size_t kMaxTableFileBytes = std::size_t{1} << 20;

// Code page 932 text for a message box. A file that ends early gets the
// archive's classic wording with the file name left out.
std::string DescribeTableReadError(TableReadError error);

// Reads the file's bytes into the table's three maps. On failure no entry is set.
TableReadError ParseConversionTable(std::string_view bytes, ConversionTable& table);

// The file's bytes for the table.
std::string SerializeConversionTable(const ConversionTable& table);

struct LoadResult {
    enum class Source { File, Defaults, Failed };
    Source source;
    TableReadError error = TableReadError::None;
    // Why the file could not be read; with the defaults, why there was none to read.
    std::error_code cause{};
};

// Fills the table, which the caller has emptied, from the table file, or
// with the defaults when there is no regular file to open (missing, a folder,
// a FIFO: never waited on), `cause` saying why. A file that opens but cannot
// be read (damaged, too large, a read error) sets no entry and is Failed.
LoadResult LoadConversionTable(ConversionTable& table, const std::filesystem::path& file = kTableFileName);

// Writes the table to the table file through the file layer, whole or not
// at all. Returns the cause of a failure.
std::error_code SaveConversionTable(const ConversionTable& table,
                                    const std::filesystem::path& file = kTableFileName);
