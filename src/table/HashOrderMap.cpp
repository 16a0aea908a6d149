#include "table/HashOrderMap.h"

#include "platform/Cp932Codec.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace {

std::size_t IndexHash(std::string_view key) {
    return std::hash<std::string_view>{}(key);
}

constexpr std::uint64_t kFingerprintMask = 0xFFFFFFFF00000000u;

// Bits the slot's position in the index does not already tell.
std::uint64_t Fingerprint(std::size_t keyHash) {
    return static_cast<std::uint64_t>(keyHash) & kFingerprintMask;
}

std::uint64_t LengthBit(std::size_t length) {
    return std::uint64_t{1} << (length < 63 ? length : 63);
}

} // namespace

std::uint32_t HashOrderMap::HashKey(std::string_view key) {
    std::uint32_t h = 0;
    for (const char c : key) {
        h = h * 33u + static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
    }
    return h;
}

std::uint32_t HashOrderMap::OrderHash(std::string_view key) const {
    if (m_order == Order::CodePage932) {
        if (const std::optional<std::string> bytes = cp932::Encode(key)) {
            return HashKey(*bytes);
        }
    }
    return HashKey(key);
}

const HashOrderMap::Entry* HashOrderMap::FindEntry(std::string_view key) const {
    if (m_index.empty()) {
        return nullptr;
    }
    const std::size_t keyHash = IndexHash(key);
    const std::uint64_t print = Fingerprint(keyHash);
    const std::size_t mask = m_index.size() - 1;
    for (std::size_t i = keyHash & mask; m_index[i] != 0; i = (i + 1) & mask) {
        const std::uint64_t slot = m_index[i];
        if ((slot & kFingerprintMask) != print) {
            continue;
        }
        const Entry& entry = m_entries[(slot & 0xFFFFFFFFu) - 1];
        if (entry.key == key) {
            return &entry;
        }
    }
    return nullptr;
}

HashOrderMap::Entry* HashOrderMap::FindEntry(std::string_view key) {
    return const_cast<Entry*>(std::as_const(*this).FindEntry(key));
}

void HashOrderMap::Index(std::size_t keyHash, std::size_t place) {
    const std::size_t mask = m_index.size() - 1;
    std::size_t i = keyHash & mask;
    while (m_index[i] != 0) {
        i = (i + 1) & mask;
    }
    m_index[i] = Fingerprint(keyHash) | (place + 1);
}

void HashOrderMap::Rehash(std::size_t slots) {
    std::size_t size = 64;
    while (size < slots) {
        size *= 2;
    }
    m_index.assign(size, 0);
    for (std::size_t place = 0; place < m_entries.size(); ++place) {
        Index(IndexHash(m_entries[place].key), place);
    }
}

void HashOrderMap::reserve(std::size_t count) {
    // At most half full, so that probes stay short.
    if (count * 2 > m_index.size()) {
        Rehash(count * 2);
    }
    m_entries.reserve(count);
}

void HashOrderMap::Add(std::string_view key, std::string_view value, std::uint32_t hash) {
    if ((m_count + 1) * 2 > m_index.size()) {
        Rehash(m_index.size() * 2);
    }
    m_entries.push_back(Entry{std::string(key), std::string(value), hash});
    m_buckets[hash % kBucketCount].push_back(static_cast<std::uint32_t>(m_entries.size() - 1));
    Index(IndexHash(key), m_entries.size() - 1);
    ++m_count;
    m_keyLengths |= LengthBit(key.size());
}

void HashOrderMap::insert_or_assign(std::string_view key, std::string_view value) {
    if (Entry* entry = FindEntry(key)) {
        entry->value = value;
        return;
    }
    Add(key, value, OrderHash(key));
}

void HashOrderMap::insert_or_assign(std::string_view key, std::string_view value, std::string_view keyBytes) {
    if (Entry* entry = FindEntry(key)) {
        entry->value = value;
        return;
    }
    Add(key, value, m_order == Order::CodePage932 ? HashKey(keyBytes) : HashKey(key));
}

std::vector<std::uint32_t> HashOrderMap::VisitOrder(const std::vector<std::string_view>& keys) {
    std::array<std::vector<std::uint32_t>, kBucketCount> chains;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        chains[HashKey(keys[i]) % kBucketCount].push_back(static_cast<std::uint32_t>(i));
    }
    std::vector<std::uint32_t> order;
    order.reserve(keys.size());
    for (const auto& chain : chains) {
        order.insert(order.end(), chain.rbegin(), chain.rend());
    }
    return order;
}

bool HashOrderMap::MayHoldLength(std::size_t length) const {
    return (m_keyLengths & LengthBit(length)) != 0;
}

const std::string* HashOrderMap::find(std::string_view key) const {
    if (!MayHoldLength(key.size())) {
        return nullptr;
    }
    const Entry* entry = FindEntry(key);
    return entry == nullptr ? nullptr : &entry->value;
}

void HashOrderMap::clear() {
    for (auto& chain : m_buckets) {
        chain.clear();
    }
    m_entries.clear();
    m_index.clear();
    m_count = 0;
    m_keyLengths = 0;
}

HashOrderMap::const_iterator::const_iterator(const HashOrderMap* map, std::size_t bucket,
                                                   std::size_t index)
    : m_map(map)
    , m_bucket(bucket)
    , m_index(index) {
    SkipEmpty();
}

const HashOrderMap::Entry& HashOrderMap::const_iterator::operator*() const {
    const auto& chain = m_map->m_buckets[m_bucket];
    return m_map->m_entries[chain[chain.size() - 1 - m_index]];
}

HashOrderMap::const_iterator& HashOrderMap::const_iterator::operator++() {
    ++m_index;
    SkipEmpty();
    return *this;
}

void HashOrderMap::const_iterator::SkipEmpty() {
    while (m_bucket < kBucketCount && m_index >= m_map->m_buckets[m_bucket].size()) {
        ++m_bucket;
        m_index = 0;
    }
    if (m_bucket == kBucketCount) {
        m_map = nullptr;
        m_index = 0;
    }
}
