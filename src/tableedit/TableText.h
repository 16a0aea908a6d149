// The conversion table as UTF-8 text, one entry a line (map, key, value,
// separated by tabs, under a header line), so that a table can be reviewed,
// diffed and kept under version control, then read back with the editor's checks.
#pragma once

#include "platform/UserText.h"
#include "table/ConversionTable.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tableedit {

inline constexpr std::string_view kTableTextHeader = "map\tkey\tvalue";

// The output characters a map's entries may have: its rows in the editor.
std::string_view TableMapOutputs(TableMap map);

struct TextProblem {
    std::size_t line = 0; // 1 for the header
    std::string message;  // UTF-8
};

struct TextEntry {
    std::size_t line = 0;
    TableMap map = TableMap::Letters;
    std::string key;
    std::string value;
};

struct ImportedTableText {
    ConversionTable table;
    std::vector<TextEntry> entries;
    // Every entry line read (a line after the header that is not empty), refused or not.
    std::size_t entryLines = 0;
    // Every line that is refused; the table is only to be used when this is empty.
    std::vector<TextProblem> problems;
};

// The header and the entries of letters, digits and symbols, each map in the
// order in which the table file holds its entries, so that reading the text
// back and saving writes the same file. A byte of the file that is not part of
// a code page 932 character that comes back to the same bytes is written as \xHH; a
// backslash, a tab and line ends are written as \\, \t, \r and \n.
std::string ExportTableText(const ConversionTable& table);

// Reads text written by ExportTableText, or edited from it. Every entry goes
// through the editor's checks (key length, a key twice in one map); an unknown
// map, an empty key, a value that is not one of the map's outputs, a key or
// value the table file cannot hold as written, and the line at which the
// table's file would grow past what the reader accepts are refused too. A
// table without problems saves and loads back to the same entries. Empty
// lines are skipped; a final line end is optional; "\r\n" is taken as a line end.
ImportedTableText ImportTableText(std::string_view text);

// A key, or a message naming one, as a message shows it: a byte of the file
// that is no character as \xHH, as the text writes it, then escaped and cut
// as any text of the user's.
std::string ShownTableText(std::string_view utf8, std::size_t maxChars = kShownUserChars);

} // namespace tableedit
