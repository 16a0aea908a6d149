// A string-to-string map with the iteration order of the classic 17-bucket
// hash map: the order is visible to the user (the editor's rows) and fixes
// the order of entries in the table file, so it is reproduced exactly. The
// keys are UTF-8, but the order is that of their code page 932 bytes, as the
// table file holds them.
#pragma once

#include <array>
#include <iterator>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class HashOrderMap {
public:
    static constexpr std::size_t kBucketCount = 17;

    // What a key's bucket is computed on: its code page 932 bytes, or the
    // bytes as they are (the table file's own, already code page 932).
    enum class Order { CodePage932, Bytes };

    HashOrderMap() = default;
    explicit HashOrderMap(Order order)
        : m_order(order) {}

    struct Entry {
        std::string key;
        std::string value;
        std::uint32_t hash;
    };

    // Visits buckets 0 to 16 and each chain from front (newest) to back.
    class const_iterator {
    public:
        using value_type = Entry;
        using difference_type = std::ptrdiff_t;
        using reference = const Entry&;
        using pointer = const Entry*;
        using iterator_category = std::forward_iterator_tag;

        const_iterator() = default;
        reference operator*() const;
        pointer operator->() const { return &**this; }
        const_iterator& operator++();
        const_iterator operator++(int) {
            auto old = *this;
            ++*this;
            return old;
        }
        bool operator==(const const_iterator& other) const {
            return m_bucket == other.m_bucket && m_index == other.m_index;
        }

    private:
        friend class HashOrderMap;
        const_iterator(const HashOrderMap* map, std::size_t bucket, std::size_t index);
        void SkipEmpty();

        const HashOrderMap* m_map = nullptr;
        std::size_t m_bucket = kBucketCount;
        std::size_t m_index = 0; // position from the chain's front
    };

    // h = h * 33 + byte, the byte read as signed, in wrapping 32-bit arithmetic.
    static std::uint32_t HashKey(std::string_view key);

    // An existing key gets the new value and keeps its place; a new key goes
    // to the front of its bucket's chain.
    void insert_or_assign(std::string_view key, std::string_view value);
    // The same, for a caller that holds the key's code page 932 bytes already
    // (the table file's reader), so the order needs no encoding.
    void insert_or_assign(std::string_view key, std::string_view value, std::string_view keyBytes);

    // Room for `count` keys without growing.
    void reserve(std::size_t count);

    // The order in which a map of Order::Bytes visits distinct keys set in
    // the order given: their indices, bucket by bucket, newest first. Lets a
    // reader that holds the keys already order them without copying them.
    static std::vector<std::uint32_t> VisitOrder(const std::vector<std::string_view>& keys);

    // Exact, byte-for-byte lookup; nullptr when the key is absent.
    const std::string* find(std::string_view key) const;

    // False when no key of this many bytes is in the map, so callers can skip hashing.
    bool MayHoldLength(std::size_t length) const;

    // Keeps the 17 buckets.
    void clear();

    std::size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }

    const_iterator begin() const { return {this, 0, 0}; }
    const_iterator end() const { return {}; }

private:
    // The hash that places `key` in its bucket.
    std::uint32_t OrderHash(std::string_view key) const;
    // The entry's place in its chain, or nullptr.
    Entry* FindEntry(std::string_view key);
    const Entry* FindEntry(std::string_view key) const;
    // Adds a key Find did not find, in the bucket of `hash`.
    void Add(std::string_view key, std::string_view value, std::uint32_t hash);
    // Makes the index at least `slots` long, a power of two, and fills it anew.
    void Rehash(std::size_t slots);
    // Records the entry at `place` of m_entries in the index, which has room.
    void Index(std::size_t keyHash, std::size_t place);

    // The entries in the order they came; each chain lists its entries'
    // places back to front, so that adding at the front is a push_back.
    std::vector<Entry> m_entries;
    std::array<std::vector<std::uint32_t>, kBucketCount> m_buckets;
    // Finds keys without knowing their bucket, and without walking long chains:
    // without it a file of n entries loads in some n * n / 34 steps. An
    // open-addressing table keyed by another hash than the 17-bucket one
    // (h * 33 collides at will); a slot holds 0 when empty, otherwise the
    // top 32 bits of the key's index hash and its place + 1 in m_entries, so
    // that most probes need not look at the entry.
    std::vector<std::uint64_t> m_index;
    Order m_order = Order::CodePage932;
    std::size_t m_count = 0;
    // Bit n set when a key of n bytes may be present (bit 63: 63 bytes or more);
    // lets the conversion skip lookups of lengths the map does not hold.
    std::uint64_t m_keyLengths = 0;
};
