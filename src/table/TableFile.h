// The table file "Q8.xj": three serialised string maps, keys stored with every
// byte increased by 2. Read at start-up and when the editor is left without
// saving; written by the editor's save.
#pragma once

#include "table/ConversionTable.h"

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

// Always this relative name, so the file lies in the current working directory.
inline constexpr const char* kTableFileName = "Q8.xj";

enum class TableReadError {
    None,
    EndOfFile,        // the file ends before its layout is complete
    BadClass,         // the class description is not HashOrderMap, schema 0
    BadFormat,        // not three maps, or a length form the format does not have
    UnexpectedObject, // an object tag other than the ones the layout allows
    TrailingData,     // bytes after the third map
    TooLarge,         // larger than kMaxTableFileBytes
    ReadFailed,       // the system failed to read the opened file
    Unreadable,       // there, but not a file that can be read (see LoadResult::cause)
    BadEntry,         // an entry whose value is not one printable character
};

// Far above any real table (191 entries take some 2 KiB); a larger file is
// refused before it is read, like a damaged one.
inline constexpr std::size_t kMaxTableFileBytes = std::size_t{1} << 20;

// A key (UTF-8) as the table file stores it: its code page 932 bytes, every
// byte increased by 2 (mod 256), ending before the first byte that becomes 0.
std::string StoredKey(std::string_view key);

// The key (UTF-8) that stored bytes read back as: up to the first NUL, as
// strings are read, every byte decreased by 2, ending before the first that becomes 0.
std::string KeyFromStored(std::string_view stored);

// UTF-8 text as it comes back from the table file: bytes kept one by one
// (utf8::kKeptByte) that make a code page 932 character become that character.
std::string AsTheFileGivesItBack(std::string_view utf8);

// The first byte lost on the way through the file, counted in the file's
// code page 932 bytes.
struct LostByte {
    std::size_t offset;
    unsigned char byte;
};

// Where the table file would cut a key or a value that it cannot hold as
// written (a key's 0x00 or 0xFE, a value's NUL); nothing when it comes back whole.
std::optional<LostByte> UnstorableKeyByte(std::string_view key);
std::optional<LostByte> UnstorableValueByte(std::string_view value);

// The size of a table's file counted entry by entry, as a table is built, so
// that a table too large for the reader is known before anything is written.
class TableFileSize {
public:
    // An entry that map 0, 1 or 2 (letters, digits, symbols) does not hold yet.
    void Add(std::size_t map, std::string_view key, std::string_view value);
    std::size_t Bytes() const;

private:
    std::array<std::size_t, 3> m_counts{};
    std::size_t m_entryBytes = 0;
};

// The text for a message box. The wording for a file that ends early starts
// with the file's name, `fileName`.
std::string DescribeTableReadError(TableReadError error, std::string_view fileName = {});


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
    // The entry refused, as a message shows it (BadEntry).
    std::string entry{};
};

// Fills the table, which the caller has emptied, from the table file, or
// with the defaults when nothing has that name. A name that is there but
// cannot be read (a link to a missing file, no permission, a folder, a FIFO:
// never waited on), a damaged file and one whose entries would put a control
// character or more than one character into a password set no entry and are
// Failed: the user is told, and the file is not replaced behind their back.
LoadResult LoadConversionTable(ConversionTable& table, const std::filesystem::path& file = kTableFileName);

// The same for a failed load, with why the file could not be opened or which
// entry was refused.
std::string DescribeLoadFailure(const LoadResult& loaded, std::string_view fileName = {});

// Writes the table to the table file through the file layer, whole or not
// at all. Returns the cause of a failure.
std::error_code SaveConversionTable(const ConversionTable& table,
                                    const std::filesystem::path& file = kTableFileName);
