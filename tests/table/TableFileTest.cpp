#include "table/TableFile.h"

#include "TableEntries.h"
#include "support/NamedCases.h"
#include "support/Sjis.h"
#include "support/TempFolder.h"
#include "table/DefaultTable.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (const int v : values) {
        s += static_cast<char>(v);
    }
    return s;
}

const std::string kHeader = Bytes({0x03, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x12, 0x00}) + "CMapStringToString";
const std::string kNext = Bytes({0x01, 0x80});
const std::string kEmptyBody = Bytes({0x00, 0x00});
const std::string kTwoEmptyMaps = kNext + kEmptyBody + kNext + kEmptyBody;
const std::string kMapBodyA = Bytes({0x01, 0x00, 0x02, 0x85, 0x43, 0x01, 0x61});
const std::string kFileA = kHeader + kMapBodyA + kTwoEmptyMaps;      // 41 bytes
const std::string kFileEmpty = kHeader + kEmptyBody + kTwoEmptyMaps; // 36 bytes

// A letters map and its file, the other two maps empty; `writes`: the writer
// gives exactly these bytes too.
struct FormatCase {
    const char* name;
    Entries letters;
    std::string bytes;
    bool writes;
    friend void PrintTo(const FormatCase& row, std::ostream* os) { *os << row.name; }
};

class TableFileFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(TableFileFormat, ReadsAndWritesTheBytes) {
    const auto& c = GetParam();
    ConversionTable read;
    ASSERT_EQ(ParseConversionTable(c.bytes, read), TableReadError::None);
    EXPECT_EQ(EntriesOf(read.letters), c.letters);
    EXPECT_EQ(read.digits.GetCount() + read.symbols.GetCount(), 0u);
    if (c.writes) {
        ConversionTable t;
        for (const auto& [key, value] : c.letters) {
            t.letters.SetAt(key, value);
        }
        EXPECT_EQ(SerializeConversionTable(t), c.bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, TableFileFormat,
    testing::Values(FormatCase{"OneEntry", {{Sjis("ア"), "a"}}, kFileA, true},
                    FormatCase{"ThreeEmptyMaps", {}, kFileEmpty, true},
                    FormatCase{"KeyStandsTwiceLaterValueWins",
                               {{Sjis("ア"), "b"}},
                               kHeader + Bytes({2, 0, 2, 0x85, 0x43, 1, 0x61, 2, 0x85, 0x43, 1, 0x62}) +
                                   kTwoEmptyMaps,
                               false},
                    // Key bytes are stored two higher and wrap: 0xFF is stored as 0x01 ...
                    FormatCase{"KeyByteWrapsWhenShifted",
                               {{"\xFF"
                                 "a",
                                 "z"}},
                               kHeader + Bytes({1, 0, 2, 0x01, 0x63, 1, 'z'}) + kTwoEmptyMaps,
                               true},
                    // ... and a stored 0x02 becomes 0 and ends the key.
                    FormatCase{"StoredTwoEndsTheKey",
                               {{"A", "a"}},
                               kHeader + Bytes({1, 0, 3, 0x43, 0x02, 0x43, 1, 0x61}) + kTwoEmptyMaps,
                               false}),
    named_cases::CaseName());

TEST(TableFileLengths, LongStringsAndCountsUseTheLongForms) {
    ConversionTable t;
    const std::string key300(300, 'k');       // 0xFF + 2 bytes
    const std::string value70000(70000, 'v'); // 0xFF 0xFFFF + 4 bytes
    t.symbols.SetAt(key300, value70000);
    for (int i = 0; i < 0xFFFF; ++i) { // 0xFFFF + 4 bytes
        t.digits.SetAt("k" + std::to_string(i), "1");
    }
    const auto bytes = SerializeConversionTable(t);
    EXPECT_EQ(bytes.substr(28, 8), Bytes({0x01, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));
    EXPECT_NE(bytes.find(Bytes({0xFF, 0x2C, 0x01}) + std::string(300, 'm')), std::string::npos);
    EXPECT_NE(bytes.find(Bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})), std::string::npos);
    ConversionTable loaded;
    ASSERT_EQ(ParseConversionTable(bytes, loaded), TableReadError::None);
    EXPECT_TRUE(SameEntries(loaded, t));
}

// The size counted entry by entry is the size the writer gives, short and long forms alike.
TEST(TableFileLengths, CountedSizeIsTheWrittenSize) {
    ConversionTable defaults;
    FillDefaultTable(defaults);
    ConversionTable longForms;
    longForms.symbols.SetAt(std::string(300, 'k'), std::string(70000, 'v'));
    longForms.letters.SetAt(std::string("\xFF\x01", 2), "a");
    for (int i = 0; i < 0xFFFF; ++i) {
        longForms.digits.SetAt("k" + std::to_string(i), "1");
    }
    for (const ConversionTable* table : {&defaults, &longForms}) {
        TableFileSize size;
        const std::array<const CMapStringToString*, 3> maps{&table->letters, &table->digits, &table->symbols};
        for (std::size_t m = 0; m < maps.size(); ++m) {
            for (const auto& entry : *maps[m]) {
                size.Add(m, entry.key, entry.value);
            }
        }
        EXPECT_EQ(size.Bytes(), SerializeConversionTable(*table).size());
    }
    EXPECT_EQ(TableFileSize().Bytes(), kFileEmpty.size());
}

// The bytes said to be unstorable are exactly those that do not come back
// from the file, and where they stand is where the key or value is cut.
TEST(TableFileBytes, UnstorableAreExactlyThoseLostThroughTheFile) {
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

class TableFileDir : public testing::Test {
protected:
    TempFolder dir{"q8xj-table"};
    const fs::path file = dir / kTableFileName;
};

TEST_F(TableFileDir, DefaultsSurviveSaveAndLoad) {
    ConversionTable t;
    FillDefaultTable(t);
    t.symbols.SetAt(Sjis("ヲ"), "*");
    ASSERT_FALSE(SaveConversionTable(t, file));
    ConversionTable loaded;
    EXPECT_EQ(LoadConversionTable(loaded, file).source, LoadResult::Source::File);
    EXPECT_TRUE(SameEntries(loaded, t));
}

// A file of exactly `size` bytes that is a valid table: one letter entry whose
// value fills the rest.
std::string ValidFileOfSize(std::size_t size) {
    ConversionTable t;
    t.letters.SetAt("k", std::string(0x10000, 'v'));
    const std::size_t overhead = SerializeConversionTable(t).size() - 0x10000;
    t.letters.SetAt("k", std::string(size - overhead, 'v'));
    return SerializeConversionTable(t);
}

// What stands at the table file's place; what loads from it.
struct LoadCase {
    const char* name;
    std::function<void(const fs::path&)> place;
    LoadResult::Source source;
    TableReadError error;
    std::size_t entries;
    friend void PrintTo(const LoadCase& row, std::ostream* os) { *os << row.name; }
};

class TableFileLoad : public TableFileDir, public testing::WithParamInterface<LoadCase> {};

TEST_P(TableFileLoad, TakesTheFileTheDefaultsOrNothing) {
    const auto& c = GetParam();
    c.place(file);
    const std::string before = fs::is_regular_file(file) ? ReadWhole(file) : "";
    ConversionTable t;
    const LoadResult result = LoadConversionTable(t, file);
    EXPECT_EQ(result.source, c.source);
    EXPECT_EQ(result.error, c.error);
    EXPECT_EQ(t.GetCount(), c.entries);
    if (fs::is_regular_file(file)) {
        EXPECT_EQ(ReadWhole(file), before); // refused, not rewritten
    }
}

const auto kWrite = [](std::string bytes) {
    return [bytes](const fs::path& file) {
        WriteWhole(file, bytes);
    };
};
const auto kWriteValidFileOfSize = [](std::size_t size) {
    return [size](const fs::path& file) {
        const std::string bytes = ValidFileOfSize(size);
        EXPECT_EQ(bytes.size(), size);
        WriteWhole(file, bytes);
    };
};
using Source = LoadResult::Source;
constexpr std::size_t kDefaults = 83 + 10;

INSTANTIATE_TEST_SUITE_P(
    Places, TableFileLoad,
    testing::Values(
        LoadCase{"MissingFile", [](const fs::path&) {}, Source::Defaults, TableReadError::None, kDefaults},
        LoadCase{"AFolder", [](const fs::path& f) { fs::create_directory(f); }, Source::Defaults,
                 TableReadError::None, kDefaults},
        // Not waiting for a writer.
        LoadCase{"AFifo", [](const fs::path& f) { ::mkfifo(f.c_str(), 0600); }, Source::Defaults,
                 TableReadError::None, kDefaults},
        LoadCase{"ASymbolicLinkIsReadThrough",
                 [](const fs::path& f) {
                     WriteWhole(f.parent_path() / "real.xj", kFileA);
                     fs::create_symlink("real.xj", f);
                 },
                 Source::File, TableReadError::None, 1},
        // Without the defaults.
        LoadCase{"EmptyTable", kWrite(kFileEmpty), Source::File, TableReadError::None, 0},
        LoadCase{"Damaged", kWrite(kFileA.substr(0, 30)), Source::Failed, TableReadError::EndOfFile, 0},
        LoadCase{"AtTheSizeCap", kWriteValidFileOfSize(kMaxTableFileBytes), Source::File,
                 TableReadError::None, 1},
        LoadCase{"OneByteOverTheCap", kWriteValidFileOfSize(kMaxTableFileBytes + 1), Source::Failed,
                 TableReadError::TooLarge, 0},
        LoadCase{"FarOverTheCap", kWriteValidFileOfSize(8 * kMaxTableFileBytes), Source::Failed,
                 TableReadError::TooLarge, 0}),
    named_cases::CaseName());

struct BadFile {
    const char* name;
    std::string bytes;
    TableReadError error;
    friend void PrintTo(const BadFile& row, std::ostream* os) { *os << row.name; }
};

class TableFileReader : public testing::TestWithParam<BadFile> {};

TEST_P(TableFileReader, RefusesDamagedFilesWithoutSettingAnEntry) {
    const auto& c = GetParam();
    ConversionTable t;
    EXPECT_EQ(ParseConversionTable(c.bytes, t), c.error);
    EXPECT_EQ(t.GetCount(), 0u);
}

// Files that end early: every truncation, below.
INSTANTIATE_TEST_SUITE_P(
    DamagedFiles, TableFileReader,
    testing::Values(
        BadFile{"WrongClassName",
                Bytes({3, 0, 0xFF, 0xFF, 0, 0, 18, 0}) + "CMapStringToStrinG" + kMapBodyA + kTwoEmptyMaps,
                TableReadError::BadClass},
        BadFile{"WrongSchema",
                Bytes({3, 0, 0xFF, 0xFF, 1, 0, 18, 0}) + "CMapStringToString" + kMapBodyA + kTwoEmptyMaps,
                TableReadError::BadClass},
        BadFile{"ClassNameLongerThanTheFile", Bytes({3, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0x7F}) + "CMap",
                TableReadError::EndOfFile},
        BadFile{"FewerThanThreeMaps", Bytes({2, 0}) + kHeader.substr(2) + kMapBodyA + kNext + kEmptyBody,
                TableReadError::BadFormat},
        BadFile{"MoreThanThreeMaps", Bytes({4, 0}) + kFileA.substr(2) + kNext + kEmptyBody,
                TableReadError::BadFormat},
        BadFile{"CountLongerThanTheFile",
                kHeader + Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0x43, 1, 0x61}),
                TableReadError::EndOfFile},
        BadFile{"StringLengthTwoBytesPastTheEnd", kHeader + Bytes({1, 0, 0xFF, 0xF0, 0xFF, 0x43}),
                TableReadError::EndOfFile},
        BadFile{"StringLengthFourBytesPastTheEnd",
                kHeader + Bytes({1, 0, 0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF, 0x43}),
                TableReadError::EndOfFile},
        BadFile{"WideStringMarker", kHeader + Bytes({1, 0, 0xFF, 0xFE, 0xFF, 0x43, 0x43}),
                TableReadError::BadFormat},
        BadFile{"FirstObjectIsAReference", Bytes({3, 0, 0x01, 0x80}) + kEmptyBody,
                TableReadError::UnexpectedObject},
        BadFile{"FirstObjectIsNull", Bytes({3, 0, 0x00, 0x00}) + kEmptyBody,
                TableReadError::UnexpectedObject},
        BadFile{"OtherClassTag", kHeader + kMapBodyA + Bytes({0x02, 0x80}) + kEmptyBody + kNext + kEmptyBody,
                TableReadError::UnexpectedObject},
        BadFile{"SecondClassDescription",
                kHeader + kMapBodyA + kHeader.substr(2) + kEmptyBody + kNext + kEmptyBody,
                TableReadError::UnexpectedObject},
        BadFile{"BytesAfterTheThirdMap", kFileA + "x", TableReadError::TrailingData}),
    named_cases::CaseName());

TEST(TableFileReader, EveryTruncationOfAValidFileEndsEarly) {
    ConversionTable full;
    FillDefaultTable(full);
    const auto bytes = SerializeConversionTable(full);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        ConversionTable t;
        ASSERT_EQ(ParseConversionTable(std::string_view(bytes).substr(0, n), t), TableReadError::EndOfFile)
            << n;
        ASSERT_EQ(t.GetCount(), 0u);
    }
}

TEST(TableFileReader, EndOfFileKeepsTheClassicWordingWithoutAFileName) {
    EXPECT_EQ(DescribeTableReadError(TableReadError::EndOfFile), Sjis(" の末尾以降にｱｸｾｽしようとしました。"));
    for (const auto e : {TableReadError::BadClass, TableReadError::BadFormat,
                         TableReadError::UnexpectedObject, TableReadError::TrailingData}) {
        EXPECT_FALSE(DescribeTableReadError(e).empty());
    }
}

} // namespace
