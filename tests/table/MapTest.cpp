#include "table/CMapStringToString.h"

#include "support/Sjis.h"

#include <gtest/gtest.h>

#include <optional>
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

TEST(MapLookup, MatchesWholeKeysByteForByte) {
    CMapStringToString map;
    map.SetAt(Sjis("ア"), "a");
    map.SetAt(Sjis("ウィ"), "w");
    for (const std::size_t n : {62u, 63u, 64u, 80u}) {
        map.SetAt(std::string(n, 'k'), std::to_string(n));
    }
    const std::vector<std::pair<std::string, std::optional<std::string>>> rows{
        {Sjis("ア"), "a"},
        {Sjis("ｱ"), std::nullopt},      // half-width form
        {Sjis("ウ"), std::nullopt},     // prefix of a key
        {Sjis("ウィア"), std::nullopt}, // longer than a key
        {"", std::nullopt},
        // Lengths from 63 bytes up share one bit of the length filter.
        {std::string(62, 'k'), "62"},
        {std::string(63, 'k'), "63"},
        {std::string(64, 'k'), "64"},
        {std::string(80, 'k'), "80"},
        {std::string(70, 'k'), std::nullopt},
    };
    for (const auto& [key, value] : rows) {
        SCOPED_TRACE(cp932::ToUtf8(key));
        const std::string* found = map.Lookup(key);
        EXPECT_EQ(found ? std::optional(*found) : std::nullopt, value);
    }
    map.SetAt("", "e");
    EXPECT_EQ(*map.Lookup(""), "e");
}

// Keys of one hash share a bucket and meet in its index: only the same key
// matches. Swapping "aB" for "b!" keeps the hash, since 'a' * 33 + 'B' == 'b' * 33 + '!'.
TEST(MapLookup, KeysOfOneHashAreToldApart) {
    std::vector<std::string> keys;
    for (int bits = 0; bits < 256; ++bits) {
        keys.emplace_back();
        for (int b = 0; b < 8; ++b) {
            keys.back() += (bits >> b & 1) != 0 ? "aB" : "b!";
        }
    }
    CMapStringToString map;
    for (std::size_t i = 0; i < keys.size(); i += 2) {
        map.SetAt(keys[i], keys[i]);
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::string* found = map.Lookup(keys[i]);
        EXPECT_EQ(found != nullptr ? *found : "none", i % 2 == 0 ? keys[i] : "none");
    }
}

// Thousands of keys per bucket, as a large table file gives: the 17 buckets
// in ascending order, newest first within a bucket; an update keeps its place,
// and after RemoveAll the same keys come back in the same order.
TEST(MapOrder, BucketsAscendingNewestFirstAndUpdatesInPlace) {
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
    EXPECT_TRUE(map.IsEmpty());
    EXPECT_EQ(map.begin(), map.end());
    EXPECT_EQ(map.Lookup("k1234"), nullptr);
    fill();
    EXPECT_EQ(map.GetCount(), 20000u);
    EXPECT_EQ(*map.Lookup("k1234"), "vk1234");
    EXPECT_EQ(Keys(map), expected);
}

} // namespace
