// The table's maps and its file: the map's hash, lookup and order; the file's
// layouts, round trip and errors, and where a table is loaded from.
#include "table/TableFile.h"

#include "platform/Cp932Codec.h"
#include "support/TableHelpers.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Keys(const HashOrderMap& map) {
    std::vector<std::string> keys;
    for (const auto& entry : map) {
        keys.push_back(entry.key);
    }
    return keys;
}

TEST(Map, HashReadsCodePage932BytesAsSigned) {
    // ア is 83 41: h = -125, then h * 33 + 0x41, wrapping: 4294963236, bucket 4.
    // Read unsigned the same key would land in bucket 2, and its UTF-8 elsewhere.
    HashOrderMap map;
    map.insert_or_assign("ア", "a");
    EXPECT_EQ(map.begin()->hash, 4294963236u);
}

// Every key made of `pairs` pairs of "aB" and "b!", which hash alike:
// 'a' * 33 + 'B' == 'b' * 33 + '!'.
std::vector<std::string> KeysOfOneHash(int pairs) {
    std::vector<std::string> keys(std::size_t{1} << pairs);
    for (std::size_t bits = 0; bits < keys.size(); ++bits) {
        for (int b = 0; b < pairs; ++b) {
            keys[bits] += (bits >> b & 1) != 0 ? "aB" : "b!";
        }
    }
    return keys;
}

// Keys of one hash share a bucket, newest first, and meet in its index when
// the bucket is long (thousands of keys, as a large table file gives): only
// the whole key, byte for byte, matches, not one of the same hash, a prefix
// nor a longer key.
TEST(Map, KeysOfOneHashAreToldApartNewestFirst) {
    const std::vector<std::string> keys = KeysOfOneHash(12);
    HashOrderMap map;
    std::vector<std::string> newestFirst;
    for (std::size_t i = 0; i < keys.size(); i += 2) {
        map.insert_or_assign(keys[i], keys[i]);
        newestFirst.insert(newestFirst.begin(), keys[i]);
    }
    EXPECT_EQ(Keys(map), newestFirst);
    std::vector<std::uint32_t> visit(newestFirst.size());
    std::iota(visit.rbegin(), visit.rend(), 0u);
    EXPECT_EQ(HashOrderMap::VisitOrder({newestFirst.rbegin(), newestFirst.rend()}), visit);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::string* found = map.find(keys[i]);
        EXPECT_EQ(found != nullptr ? *found : "none", i % 2 == 0 ? keys[i] : "none") << i;
    }
    for (const std::string& other : {keys[0].substr(0, 23), keys[0] + "a"}) {
        EXPECT_EQ(map.find(other), nullptr) << other;
    }
}

// The 17 buckets in ascending order, newest first within a bucket; an update
// keeps its place, and after clear the same keys come back in the same order.
// A one-byte key hashes to its code: D (68) lies in bucket 0 with the empty
// key, G (71) in 3, A (65) in 14, C (67) in 16; aB and b! hash to 3267,
// bucket 3 too.
TEST(Map, BucketsAscendingNewestFirstAndUpdatesInPlace) {
    const std::vector<std::string> set{"A", "G", "aB", "", "D", "b!", "C"};
    const std::vector<std::string> expected{"D", "", "b!", "aB", "G", "A", "C"};
    HashOrderMap map;
    const auto fill = [&] {
        for (const std::string& key : set) {
            map.insert_or_assign(key, "v" + key);
        }
    };
    fill();
    map.insert_or_assign("G", "changed");
    EXPECT_EQ(Keys(map), expected);
    EXPECT_EQ(*map.find("G"), "changed");
    // A reader that holds the keys orders them as the map does.
    EXPECT_EQ(HashOrderMap::VisitOrder({set.begin(), set.end()}),
              (std::vector<std::uint32_t>{4, 3, 5, 2, 1, 0, 6}));
    map.clear();
    EXPECT_TRUE(map.empty());
    EXPECT_EQ(map.begin(), map.end());
    EXPECT_EQ(map.find("G"), nullptr);
    fill();
    EXPECT_EQ(*map.find("G") + *map.find(""), "vGv");
    EXPECT_EQ(Keys(map), expected);
}

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
        EXPECT_EQ(table.size() == 0, prefix->second != TableReadError::None || name == "same-empty.xj");
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
        {std::string("\x02\x00\x02\x85\x43\x01\x61\x02\x85\x43\x01\x62", 12), {{std::string("ア"), "b"}}},
        {std::string("\x01\x00\x03\x43\x02\x43\x01\x61", 8), {{"A", "a"}}},
    };
    for (const auto& [body, letters] : rows) {
        ConversionTable table;
        ASSERT_EQ(ParseConversionTable(header + body + twoEmpty, table), TableReadError::None);
        EXPECT_EQ(EntriesOf(table.letters), letters);
    }
    // A key read again keeps its first place, behind the newer R of its bucket.
    ConversionTable table;
    const std::string again("\x03\x00\x01\x43\x01\x31\x01\x54\x01\x32\x01\x43\x01\x33", 14);
    ASSERT_EQ(ParseConversionTable(header + again + twoEmpty, table), TableReadError::None);
    EXPECT_EQ(Keys(table.letters), (std::vector<std::string>{"A", "R"}));
    EXPECT_EQ(*table.letters.find("A"), "3");
}

// A table of one entry whose file takes exactly `size` bytes.
ConversionTable TableOfFileSize(std::size_t size) {
    ConversionTable t;
    t.letters.insert_or_assign("k", std::string(0x10000, 'v'));
    t.letters.insert_or_assign("k", std::string(size - (SerializeConversionTable(t).size() - 0x10000), 'v'));
    return t;
}

// Whatever table is saved loads back with the same entries, the size counted
// entry by entry being the file's; long strings and counts take the long
// forms. A table past what the reader accepts is not written.
TEST(TableFile, SaveThenLoadGivesTheSameEntries) {
    ConversionTable longForms;
    longForms.symbols.insert_or_assign(std::string(300, 'k'), std::string(70000, 'v'));
    longForms.letters.insert_or_assign(cp932::Decode(std::string("\xFF\x01", 2)), "a");
    for (int i = 0; i < 0xFFFF; ++i) {
        longForms.digits.insert_or_assign("k" + std::to_string(i), "1");
    }
    const std::string bytes = SerializeConversionTable(longForms);
    EXPECT_NE(bytes.find(std::string("\x01\x80\xFF\xFF\xFF\xFF\x00\x00", 8)), std::string::npos);
    EXPECT_NE(bytes.find(std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7)), std::string::npos);
    for (const ConversionTable& table :
         {ConversionTable(), Defaults(), longForms, TableOfFileSize(kMaxTableFileBytes),
          TableOfFileSize(kMaxTableFileBytes + 1)}) {
        TableFileSize size;
        for (const TableMap map : kTableMaps) {
            for (const auto& entry : table.Map(map)) {
                size.Add(static_cast<std::size_t>(map), entry.key, entry.value);
            }
        }
        EXPECT_EQ(size.Bytes(), SerializeConversionTable(table).size());
        const bool fits = size.Bytes() <= kMaxTableFileBytes;
        TempFolder dir{"q8xj-table"};
        EXPECT_EQ(!SaveConversionTable(table, dir / kTableFileName), fits);
        ConversionTable loaded;
        const LoadResult result = LoadConversionTable(loaded, dir / kTableFileName);
        // The format holds any value; the load refuses one a password cannot take.
        const bool oneCharValues = std::ranges::all_of(kTableMaps, [&](TableMap map) {
            return std::ranges::all_of(table.Map(map), [](const auto& e) { return e.value.size() == 1; });
        });
        EXPECT_EQ(result.source, !fits           ? LoadResult::Source::Defaults
                                 : oneCharValues ? LoadResult::Source::File
                                                 : LoadResult::Source::Failed);
        if (fits) {
            ConversionTable parsed;
            EXPECT_EQ(ParseConversionTable(ReadWhole(dir / kTableFileName), parsed), TableReadError::None);
            EXPECT_TRUE(SameEntries(parsed, table));
        } else {
            EXPECT_TRUE(SameEntries(loaded, Defaults()));
            // Its file put there by hand is refused as a damaged one is.
            WriteWhole(dir / kTableFileName, SerializeConversionTable(table));
            const LoadResult refused = LoadConversionTable(loaded, dir / kTableFileName);
            EXPECT_EQ(refused.source, LoadResult::Source::Failed);
            EXPECT_EQ(refused.error, TableReadError::TooLarge);
        }
    }
}

// The bytes said to be unstorable are exactly those that do not come back
// from the file, and where they stand is where the key or value is cut.
TEST(TableFile, UnstorableAreExactlyThoseLostThroughTheFile) {
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        // The byte as text: a character, or a byte a damaged file kept.
        const std::string ch = cp932::Decode(std::string(1, static_cast<char>(b)));
        const std::string key = "k" + ch + "k";
        const std::string value = "v" + ch;
        ConversionTable table;
        table.letters.insert_or_assign(key, "a");
        table.digits.insert_or_assign("k", value);
        ConversionTable loaded;
        ASSERT_EQ(ParseConversionTable(SerializeConversionTable(table), loaded), TableReadError::None);
        const std::string back = loaded.letters.begin()->key;
        const std::optional<LostByte> lostKey = UnstorableKeyByte(key);
        EXPECT_EQ(!lostKey, cp932::Encode(back) == cp932::Encode(key));
        EXPECT_EQ(lostKey && lostKey->offset == 1 && lostKey->byte == b, back == "k");
        EXPECT_EQ(!UnstorableValueByte(value), *loaded.digits.find("k") == value);
    }
}

TEST(TableFile, EveryTruncationEndsEarlyAndSetsNoEntry) {
    const auto bytes = SerializeConversionTable(Defaults());
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        ConversionTable t;
        ASSERT_EQ(ParseConversionTable(std::string_view(bytes).substr(0, n), t), TableReadError::EndOfFile)
            << n;
        ASSERT_EQ(t.size(), 0u);
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

} // namespace
