#include "table/CMapStringToString.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace {

// Longer chains are searched through the position index.
constexpr std::size_t kWalkedChain = 16;

std::size_t IndexHash(std::string_view key) {
    return std::hash<std::string_view>{}(key);
}

std::uint64_t LengthBit(std::size_t length) {
    return std::uint64_t{1} << (length < 63 ? length : 63);
}

} // namespace

std::uint32_t CMapStringToString::HashKey(std::string_view key) {
    std::uint32_t h = 0;
    for (const char c : key) {
        h = h * 33u + static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
    }
    return h;
}

const CMapStringToString::Entry* CMapStringToString::Find(std::string_view key, std::uint32_t hash) const {
    const std::size_t bucket = hash % kBucketCount;
    const auto& chain = m_buckets[bucket];
    if (chain.size() <= kWalkedChain) {
        for (const auto& entry : chain) {
            if (entry.hash == hash && entry.key == key) {
                return &entry;
            }
        }
        return nullptr;
    }
    const std::size_t mask = m_index.size() - 1;
    for (std::size_t i = IndexHash(key) & mask; m_index[i] != 0; i = (i + 1) & mask) {
        const std::uint64_t slot = m_index[i] - 1;
        if ((slot >> 32) != bucket) {
            continue;
        }
        const Entry& entry = chain[slot & 0xFFFFFFFFu];
        if (entry.hash == hash && entry.key == key) {
            return &entry;
        }
    }
    return nullptr;
}

CMapStringToString::Entry* CMapStringToString::Find(std::string_view key, std::uint32_t hash) {
    return const_cast<Entry*>(std::as_const(*this).Find(key, hash));
}

void CMapStringToString::Index(std::string_view key, std::size_t bucket, std::size_t position) {
    const std::size_t mask = m_index.size() - 1;
    std::size_t i = IndexHash(key) & mask;
    while (m_index[i] != 0) {
        i = (i + 1) & mask;
    }
    m_index[i] = ((static_cast<std::uint64_t>(bucket) << 32) | position) + 1;
}

void CMapStringToString::SetAt(std::string_view key, std::string_view value) {
    const std::uint32_t hash = HashKey(key);
    if (Entry* entry = Find(key, hash)) {
        entry->value = value;
        return;
    }
    // At most half full, so that probes stay short.
    if ((m_count + 1) * 2 > m_index.size()) {
        m_index.assign(std::max<std::size_t>(64, m_index.size() * 2), 0);
        for (std::size_t b = 0; b < kBucketCount; ++b) {
            for (std::size_t p = 0; p < m_buckets[b].size(); ++p) {
                Index(m_buckets[b][p].key, b, p);
            }
        }
    }
    const std::size_t bucket = hash % kBucketCount;
    auto& chain = m_buckets[bucket];
    chain.push_back(Entry{std::string(key), std::string(value), hash});
    Index(chain.back().key, bucket, chain.size() - 1);
    ++m_count;
    m_keyLengths |= LengthBit(key.size());
}

bool CMapStringToString::MayHoldLength(std::size_t length) const {
    return (m_keyLengths & LengthBit(length)) != 0;
}

const std::string* CMapStringToString::Lookup(std::string_view key, std::uint32_t hash) const {
    if (!MayHoldLength(key.size())) {
        return nullptr;
    }
    const Entry* entry = Find(key, hash);
    return entry == nullptr ? nullptr : &entry->value;
}

void CMapStringToString::RemoveAll() {
    for (auto& chain : m_buckets) {
        chain.clear();
    }
    m_index.clear();
    m_count = 0;
    m_keyLengths = 0;
}

CMapStringToString::const_iterator::const_iterator(const CMapStringToString* map, std::size_t bucket,
                                                   std::size_t index)
    : m_map(map)
    , m_bucket(bucket)
    , m_index(index) {
    SkipEmpty();
}

const CMapStringToString::Entry& CMapStringToString::const_iterator::operator*() const {
    const auto& chain = m_map->m_buckets[m_bucket];
    return chain[chain.size() - 1 - m_index];
}

CMapStringToString::const_iterator& CMapStringToString::const_iterator::operator++() {
    ++m_index;
    SkipEmpty();
    return *this;
}

void CMapStringToString::const_iterator::SkipEmpty() {
    while (m_bucket < kBucketCount && m_index >= m_map->m_buckets[m_bucket].size()) {
        ++m_bucket;
        m_index = 0;
    }
    if (m_bucket == kBucketCount) {
        m_map = nullptr;
        m_index = 0;
    }
}
