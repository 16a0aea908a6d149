#include "table/TableFile.h"

#include "support/Sjis.h"
#include "table/DefaultTable.h"

#include "support/NamedCases.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

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
const std::string kFileA =
    kHeader + Bytes({0x01, 0x00, 0x02, 0x85, 0x43, 0x01, 0x61}) + kNext + kEmptyBody + kNext + kEmptyBody;
const std::string kFileEmpty = kHeader + kEmptyBody + kNext + kEmptyBody + kNext + kEmptyBody;

using Entries = std::map<std::string, std::string>;

Entries ToMap(const CMapStringToString& map) {
    Entries entries;
    for (const auto& e : map) {
        entries[e.key] = e.value;
    }
    return entries;
}

class TableFileDir : public testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("q8xj-table-" + std::to_string(::getpid()) + "-" +
                                           testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        file = dir / kTableFileName;
    }
    void TearDown() override {
        fs::permissions(dir, fs::perms::owner_all);
        fs::remove_all(dir);
    }
    void Write(const std::string& bytes) const { std::ofstream(file, std::ios::binary) << bytes; }
    std::string Read() const {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    fs::path dir;
    fs::path file;
};

TEST(TableFileFormat, OneEntryIsTheFortyOneByteFile) {
    ConversionTable t;
    t.letters.SetAt(Sjis("ア"), "a");
    const auto bytes = SerializeConversionTable(t);
    EXPECT_EQ(bytes.size(), 41u);
    EXPECT_EQ(bytes, kFileA);
}

TEST(TableFileFormat, ThreeEmptyMapsAreTheThirtySixByteFile) {
    ConversionTable t;
    const auto bytes = SerializeConversionTable(t);
    EXPECT_EQ(bytes.size(), 36u);
    EXPECT_EQ(bytes, kFileEmpty);
    ConversionTable loaded;
    EXPECT_EQ(ParseConversionTable(bytes, loaded),
              TableReadError::None);
    EXPECT_EQ(loaded.GetCount(), 0u);
}

TEST(TableFileFormat, ReadsTheFortyOneByteFile) {
    ConversionTable t;
    ASSERT_EQ(ParseConversionTable(kFileA, t), TableReadError::None);
    EXPECT_EQ(ToMap(t.letters), (Entries{{Sjis("ア"), "a"}}));
    EXPECT_TRUE(t.digits.IsEmpty());
    EXPECT_TRUE(t.symbols.IsEmpty());
}

TEST(TableFileFormat, AKeyThatStandsTwiceKeepsTheLaterValue) {
    const std::string file = kHeader +
                             Bytes({0x02, 0x00, 0x02, 0x85, 0x43, 0x01, 0x61, 0x02, 0x85, 0x43, 0x01, 0x62}) +
                             kNext + kEmptyBody + kNext + kEmptyBody;
    ConversionTable t;
    ASSERT_EQ(ParseConversionTable(file, t), TableReadError::None);
    EXPECT_EQ(ToMap(t.letters), (Entries{{Sjis("ア"), "b"}}));
}

TEST(TableFileFormat, LongStringsUseTheLongLengthForms) {
    ConversionTable t;
    const std::string key300(300, 'k');       // 0xFF + 2 bytes
    const std::string value70000(70000, 'v'); // 0xFF 0xFFFF + 4 bytes
    t.symbols.SetAt(key300, value70000);
    const auto bytes = SerializeConversionTable(t);
    EXPECT_NE(bytes.find(Bytes({0xFF, 0x2C, 0x01}) + std::string(300, 'm')), std::string::npos);
    EXPECT_NE(bytes.find(Bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})), std::string::npos);
    ConversionTable loaded;
    ASSERT_EQ(ParseConversionTable(bytes, loaded),
              TableReadError::None);
    EXPECT_EQ(ToMap(loaded.symbols), ToMap(t.symbols));
}

TEST(TableFileFormat, ManyEntriesUseTheLongCountForm) {
    ConversionTable t;
    for (int i = 0; i < 0xFFFF; ++i) {
        t.digits.SetAt("k" + std::to_string(i), "1");
    }
    const auto bytes = SerializeConversionTable(t);
    EXPECT_EQ(bytes.substr(28, 8), Bytes({0x01, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));
    ConversionTable loaded;
    ASSERT_EQ(ParseConversionTable(bytes, loaded),
              TableReadError::None);
    EXPECT_EQ(loaded.digits.GetCount(), 0xFFFFu);
}

TEST(TableFileFormat, KeyBytesWrapWhenShifted) {
    // 0xFF is stored as 0x01; a stored 0x02 becomes 0 and ends the key.
    ConversionTable t;
    t.letters.SetAt("\xFF"
                    "a",
                    "z");
    const auto bytes = SerializeConversionTable(t);
    EXPECT_NE(bytes.find(Bytes({0x02, 0x01, 0x63, 0x01, 'z'})), std::string::npos);
    const std::string file = kHeader + Bytes({0x01, 0x00, 0x03, 0x43, 0x02, 0x43, 0x01, 0x61}) + kNext +
                             kEmptyBody + kNext + kEmptyBody;
    ConversionTable loaded;
    ASSERT_EQ(ParseConversionTable(file, loaded),
              TableReadError::None);
    EXPECT_EQ(ToMap(loaded.letters), (Entries{{"A", "a"}}));
}

TEST_F(TableFileDir, DefaultsSurviveSaveAndLoad) {
    ConversionTable t;
    FillDefaultTable(t);
    t.symbols.SetAt(Sjis("ヲ"), "*");
    ASSERT_FALSE(SaveConversionTable(t, file));
    ConversionTable loaded;
    const auto result = LoadConversionTable(loaded, file);
    EXPECT_EQ(result.source, LoadResult::Source::File);
    EXPECT_EQ(ToMap(loaded.letters), ToMap(t.letters));
    EXPECT_EQ(ToMap(loaded.digits), ToMap(t.digits));
    EXPECT_EQ(ToMap(loaded.symbols), ToMap(t.symbols));
}

TEST_F(TableFileDir, AnEmptyTableLoadsEmptyWithoutTheDefaults) {
    Write(kFileEmpty);
    ConversionTable t;
    EXPECT_EQ(LoadConversionTable(t, file).source, LoadResult::Source::File);
    EXPECT_EQ(t.GetCount(), 0u);
}

TEST_F(TableFileDir, MissingFileGivesTheDefaults) {
    ConversionTable t;
    EXPECT_EQ(LoadConversionTable(t, file).source, LoadResult::Source::Defaults);
    EXPECT_EQ(t.letters.GetCount(), 83u);
    EXPECT_EQ(t.digits.GetCount(), 10u);
    EXPECT_TRUE(t.symbols.IsEmpty());
}

TEST_F(TableFileDir, AFolderInPlaceOfTheFileGivesTheDefaults) {
    fs::create_directory(file);
    ConversionTable t;
    EXPECT_EQ(LoadConversionTable(t, file).source, LoadResult::Source::Defaults);
    EXPECT_EQ(t.letters.GetCount(), 83u);
}

TEST_F(TableFileDir, ADamagedFileSetsNothing) {
    Write(kFileA.substr(0, 30));
    ConversionTable t;
    const auto result = LoadConversionTable(t, file);
    EXPECT_EQ(result.source, LoadResult::Source::Failed);
    EXPECT_EQ(result.error, TableReadError::EndOfFile);
    EXPECT_EQ(t.GetCount(), 0u);
}

TEST_F(TableFileDir, SaveReplacesTheFileWholeAndLeavesNoTemporaryFile) {
    Write(std::string(5000, 'x'));
    ConversionTable t;
    t.letters.SetAt(Sjis("ア"), "a");
    ASSERT_FALSE(SaveConversionTable(t, file));
    EXPECT_EQ(Read(), kFileA);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(TableFileDir, AFailedSaveReportsItsCauseAndKeepsTheOldFile) {
    if (::geteuid() == 0) {
        // root writes into read-only folders; a folder in the file's place fails for everyone.
        fs::create_directory(file);
        ConversionTable t;
        const auto error = SaveConversionTable(t, file);
        EXPECT_TRUE(error);
        EXPECT_TRUE(fs::is_directory(file));
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
        return;
    }
    Write(kFileA);
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    ConversionTable t;
    const auto error = SaveConversionTable(t, file);
    EXPECT_EQ(error, std::errc::permission_denied);
    EXPECT_EQ(Read(), kFileA);
}

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

const std::string kMapBodyA = Bytes({0x01, 0x00, 0x02, 0x85, 0x43, 0x01, 0x61});

INSTANTIATE_TEST_SUITE_P(
    DamagedFiles, TableFileReader,
    testing::Values(BadFile{"EmptyFile", "", TableReadError::EndOfFile},
                    BadFile{"EndsInTheHeader", kHeader.substr(0, 12), TableReadError::EndOfFile},
                    BadFile{"EndsInAKey", kFileA.substr(0, 28), TableReadError::EndOfFile},
                    BadFile{"EndsBeforeTheLastMap", kFileA.substr(0, 37), TableReadError::EndOfFile},
                    BadFile{"WrongClassName",
                            Bytes({3, 0, 0xFF, 0xFF, 0, 0, 18, 0}) + "CMapStringToStrinG" + kMapBodyA +
                                kNext + kEmptyBody + kNext + kEmptyBody,
                            TableReadError::BadClass},
                    BadFile{"WrongSchema",
                            Bytes({3, 0, 0xFF, 0xFF, 1, 0, 18, 0}) + "CMapStringToString" + kMapBodyA +
                                kNext + kEmptyBody + kNext + kEmptyBody,
                            TableReadError::BadClass},
                    BadFile{"ClassNameLongerThanTheFile",
                            Bytes({3, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0x7F}) + "CMap", TableReadError::EndOfFile},
                    BadFile{"FewerThanThreeMaps",
                            Bytes({2, 0}) + kHeader.substr(2) + kMapBodyA + kNext + kEmptyBody,
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
                    BadFile{"OtherClassTag",
                            kHeader + kMapBodyA + Bytes({0x02, 0x80}) + kEmptyBody + kNext + kEmptyBody,
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
        ASSERT_EQ(ParseConversionTable(std::string_view(bytes).substr(0, n), t),
                  TableReadError::EndOfFile)
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
