#include "table/TableFile.h"

#include "support/Sjis.h"
#include "support/TableHelpers.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace fs = std::filesystem;

namespace {

// The corpus, which also seeds the fuzzers, holds a file per layout the
// reader knows, named for what it gives: "same-" loads and saves back to the
// same bytes, "ok-" loads, any other name is the error it is refused with.
// The fuzz target's replay checks that what loads saves and loads again.
TEST(TableFile, EveryCorpusFileLoadsAsItsNameSays) {
    const std::pair<const char*, TableReadError> prefixes[] = {
        {"same-", TableReadError::None},
        {"ok-", TableReadError::None},
        {"end-of-file-", TableReadError::EndOfFile},
        {"bad-class-", TableReadError::BadClass},
        {"bad-format-", TableReadError::BadFormat},
        {"unexpected-object-", TableReadError::UnexpectedObject},
        {"trailing-data", TableReadError::TrailingData}};
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(Q8XJ_TABLE_CORPUS)) {
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const auto prefix = std::find_if(std::begin(prefixes), std::end(prefixes),
                                         [&](const auto& p) { return name.rfind(p.first, 0) == 0; });
        ASSERT_NE(prefix, std::end(prefixes));
        const std::string bytes = ReadWhole(entry.path());
        ConversionTable table;
        ASSERT_EQ(ParseConversionTable(bytes, table), prefix->second);
        EXPECT_EQ(SerializeConversionTable(table) == bytes, name.rfind("same-", 0) == 0);
        EXPECT_EQ(table.GetCount() == 0, prefix->second != TableReadError::None || name == "same-empty.xj");
        ++files;
    }
    EXPECT_GE(files, 20u);
}

// What the writer never gives: a key twice (the later value wins) and a
// stored 0x02, which becomes 0 and ends the key.
TEST(TableFile, ReadsKeysAsTheFormatDoes) {
    const std::string header = std::string("\x03\x00\xFF\xFF\x00\x00\x12\x00", 8) + "CMapStringToString";
    const std::string twoEmpty("\x01\x80\x00\x00\x01\x80\x00\x00", 8);
    const std::pair<std::string, Entries> rows[] = {
        {std::string("\x02\x00\x02\x85\x43\x01\x61\x02\x85\x43\x01\x62", 12), {{Sjis("ア"), "b"}}},
        {std::string("\x01\x00\x03\x43\x02\x43\x01\x61", 8), {{"A", "a"}}},
    };
    for (const auto& [body, letters] : rows) {
        ConversionTable table;
        ASSERT_EQ(ParseConversionTable(header + body + twoEmpty, table), TableReadError::None);
        EXPECT_EQ(EntriesOf(table.letters), letters);
    }
}

// Long strings and counts take the long forms; the size counted entry by
// entry is the size the writer gives.
TEST(TableFile, LongFormsAndTheCountedSize) {
    ConversionTable longForms;
    longForms.symbols.SetAt(std::string(300, 'k'), std::string(70000, 'v'));
    longForms.letters.SetAt(std::string("\xFF\x01", 2), "a");
    for (int i = 0; i < 0xFFFF; ++i) {
        longForms.digits.SetAt("k" + std::to_string(i), "1");
    }
    const std::string bytes = SerializeConversionTable(longForms);
    EXPECT_NE(bytes.find(std::string("\x01\x80\xFF\xFF\xFF\xFF\x00\x00", 8)), std::string::npos);
    EXPECT_NE(bytes.find(std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7)), std::string::npos);
    ConversionTable loaded;
    ASSERT_EQ(ParseConversionTable(bytes, loaded), TableReadError::None);
    EXPECT_TRUE(SameEntries(loaded, longForms));
    for (const ConversionTable& table : {Defaults(), longForms, ConversionTable()}) {
        TableFileSize size;
        for (const TableMap map : kTableMaps) {
            for (const auto& entry : table.Map(map)) {
                size.Add(static_cast<std::size_t>(map), entry.key, entry.value);
            }
        }
        EXPECT_EQ(size.Bytes(), SerializeConversionTable(table).size());
    }
}

// The bytes said to be unstorable are exactly those that do not come back
// from the file, and where they stand is where the key or value is cut.
TEST(TableFile, UnstorableAreExactlyThoseLostThroughTheFile) {
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        const std::string key = std::string("k") + static_cast<char>(b) + "k";
        const std::string value = std::string("v") + static_cast<char>(b);
        ConversionTable table;
        table.letters.SetAt(key, "a");
        table.digits.SetAt("k", value);
        ConversionTable loaded;
        ASSERT_EQ(ParseConversionTable(SerializeConversionTable(table), loaded), TableReadError::None);
        const std::string back = loaded.letters.begin()->key;
        EXPECT_EQ(UnstorableKeyByte(key) == std::string::npos, back == key);
        EXPECT_EQ(UnstorableKeyByte(key) == 1, back == "k");
        EXPECT_EQ(UnstorableValueByte(value) == std::string::npos, *loaded.digits.Lookup("k") == value);
    }
}

TEST(TableFile, EveryTruncationEndsEarlyAndSetsNoEntry) {
    const auto bytes = SerializeConversionTable(Defaults());
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        ConversionTable t;
        ASSERT_EQ(ParseConversionTable(std::string_view(bytes).substr(0, n), t), TableReadError::EndOfFile)
            << n;
        ASSERT_EQ(t.GetCount(), 0u);
    }
}

// Only the end-of-file wording names the file, in front.
TEST(TableFile, EveryErrorIsWorded) {
    for (int e = 1; e <= static_cast<int>(TableReadError::ReadFailed); ++e) {
        const std::string text = DescribeTableReadError(static_cast<TableReadError>(e), "Q8.xj");
        EXPECT_EQ(text.rfind("Q8.xj ", 0) == 0, e == static_cast<int>(TableReadError::EndOfFile)) << text;
        EXPECT_GT(text.size(), 6u);
    }
}

// A file of exactly `size` bytes that is a valid table of one entry.
std::string ValidFileOfSize(std::size_t size) {
    ConversionTable t;
    t.letters.SetAt("k", std::string(0x10000, 'v'));
    t.letters.SetAt("k", std::string(size - (SerializeConversionTable(t).size() - 0x10000), 'v'));
    return SerializeConversionTable(t);
}

// What loads from the table file's place; a file that is refused is not
// rewritten. Which kinds of path have no file to read is the file layer's rule.
TEST(TableFile, LoadTakesTheFileTheDefaultsOrNothing) {
    using Source = LoadResult::Source;
    const std::string oneEntry = ReadWhole(fs::path(Q8XJ_TABLE_CORPUS) / "same-one-entry.xj");
    const struct {
        const char* name;
        std::optional<std::string> bytes; // nothing: no file
        Source source;
        TableReadError error;
        std::size_t entries;
    } rows[] = {
        {"missing", std::nullopt, Source::Defaults, TableReadError::None, 93},
        {"damaged", oneEntry.substr(0, 30), Source::Failed, TableReadError::EndOfFile, 0},
        {"at the size cap", ValidFileOfSize(kMaxTableFileBytes), Source::File, TableReadError::None, 1},
        {"over the cap", ValidFileOfSize(kMaxTableFileBytes + 1), Source::Failed, TableReadError::TooLarge,
         0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder dir{"q8xj-table"};
        const fs::path file = dir / kTableFileName;
        if (row.bytes) {
            WriteWhole(file, *row.bytes);
        }
        ConversionTable t;
        const LoadResult result = LoadConversionTable(t, file);
        EXPECT_EQ(result.source, row.source);
        EXPECT_EQ(result.error, row.error);
        EXPECT_EQ(t.GetCount(), row.entries);
        EXPECT_EQ(fs::exists(file) ? std::optional(ReadWhole(file)) : std::nullopt, row.bytes);
    }
    TempFolder dir{"q8xj-table"};
    ConversionTable t = Defaults();
    t.symbols.SetAt(Sjis("ヲ"), "*");
    ASSERT_FALSE(SaveConversionTable(t, dir / kTableFileName));
    ConversionTable loaded;
    EXPECT_EQ(LoadConversionTable(loaded, dir / kTableFileName).source, LoadResult::Source::File);
    EXPECT_TRUE(SameEntries(loaded, t));
}

} // namespace
