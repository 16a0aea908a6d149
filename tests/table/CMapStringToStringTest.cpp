#include "table/CMapStringToString.h"

#include "support/Sjis.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::string> Keys(const CMapStringToString& map) {
    std::vector<std::string> keys;
    for (const auto& entry : map) {
        keys.push_back(entry.key);
    }
    return keys;
}

TEST(MapHash, ReadsBytesAsSigned) {
    // 83 41: h = -125, then h * 33 + 0x41, wrapping: 4294963236, bucket 4.
    // Read unsigned the same key would land in bucket 2.
    EXPECT_EQ(CMapStringToString::HashKey(Sjis("ア")), 4294963236u);
    EXPECT_EQ(CMapStringToString::HashKey("a"), 97u);
    EXPECT_EQ(CMapStringToString::HashKey(""), 0u);
}

TEST(MapOrder, BucketsAscendingAndNewestFirstWithinABucket) {
    CMapStringToString map;
    // "6" is bucket 3, ア bucket 4; "a" (97) and "r" (114) share bucket 12.
    map.SetAt("a", "1");
    map.SetAt(Sjis("ア"), "2");
    map.SetAt("r", "3");
    map.SetAt("6", "4");
    EXPECT_EQ(Keys(map), (std::vector<std::string>{"6", Sjis("ア"), "r", "a"}));
}

TEST(MapOrder, SettingAnExistingKeyKeepsItsPlace) {
    CMapStringToString map;
    map.SetAt("a", "1");
    map.SetAt("r", "2");
    map.SetAt("a", "3");
    EXPECT_EQ(Keys(map), (std::vector<std::string>{"r", "a"}));
    EXPECT_EQ(*map.Lookup("a"), "3");
    EXPECT_EQ(map.GetCount(), 2u);
}

TEST(MapOrder, RemoveAllKeepsSeventeenBuckets) {
    CMapStringToString map;
    for (const char* key : {"a", "r", "6", "B"}) {
        map.SetAt(key, "x");
    }
    const auto before = Keys(map);
    map.RemoveAll();
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_EQ(map.begin(), map.end());
    for (const char* key : {"a", "r", "6", "B"}) {
        map.SetAt(key, "x");
    }
    EXPECT_EQ(Keys(map), before);
}

TEST(MapLookup, MatchesWholeKeysByteForByte) {
    CMapStringToString map;
    map.SetAt(Sjis("ア"), "a");
    map.SetAt(Sjis("ウィ"), "w");
    EXPECT_EQ(*map.Lookup(Sjis("ア")), "a");
    EXPECT_EQ(map.Lookup(Sjis("ｱ")), nullptr);      // half-width form
    EXPECT_EQ(map.Lookup(Sjis("ウ")), nullptr);     // prefix of a key
    EXPECT_EQ(map.Lookup(Sjis("ウィア")), nullptr); // longer than a key
    EXPECT_EQ(map.Lookup(""), nullptr);
    map.SetAt("", "e");
    EXPECT_EQ(*map.Lookup(""), "e");
}

TEST(MapLookup, FindsLongKeys) {
    // Lengths from 63 bytes up share one bit of the length filter.
    CMapStringToString map;
    for (const std::size_t n : {62u, 63u, 64u, 80u}) {
        map.SetAt(std::string(n, 'k'), std::to_string(n));
    }
    for (const std::size_t n : {62u, 63u, 64u, 80u}) {
        ASSERT_NE(map.Lookup(std::string(n, 'k')), nullptr) << n;
        EXPECT_EQ(*map.Lookup(std::string(n, 'k')), std::to_string(n));
    }
    EXPECT_EQ(map.Lookup(std::string(70, 'k')), nullptr);
}

// Thousands of keys per bucket, as a large table file gives: the order stays
// the 17-bucket one, and keys are found and updated in place, also after RemoveAll.
TEST(MapLongChains, KeepTheOrderAndFindEveryKey) {
    CMapStringToString map;
    std::vector<std::vector<std::string>> buckets(CMapStringToString::kBucketCount);
    const auto fill = [&] {
        for (auto& b : buckets) {
            b.clear();
        }
        for (int i = 0; i < 20000; ++i) {
            const std::string key = "k" + std::to_string(i * 7919 % 20000);
            map.SetAt(key, "v" + key);
            auto& b = buckets[CMapStringToString::HashKey(key) % CMapStringToString::kBucketCount];
            b.insert(b.begin(), key);
        }
    };
    fill();
    map.SetAt("k1234", "changed");
    std::vector<std::string> expected;
    for (const auto& b : buckets) {
        expected.insert(expected.end(), b.begin(), b.end());
    }
    EXPECT_EQ(Keys(map), expected);
    EXPECT_EQ(map.GetCount(), 20000u);
    EXPECT_EQ(*map.Lookup("k1234"), "changed");
    EXPECT_EQ(*map.Lookup("k19999"), "vk19999");
    EXPECT_EQ(map.Lookup("k20000"), nullptr);

    map.RemoveAll();
    EXPECT_EQ(map.Lookup("k1234"), nullptr);
    fill();
    EXPECT_EQ(map.GetCount(), 20000u);
    EXPECT_EQ(*map.Lookup("k1234"), "vk1234");
    EXPECT_EQ(Keys(map).front(), expected.front());
}

} // namespace
