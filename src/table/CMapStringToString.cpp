#include "table/CMapStringToString.h"

#include "platform/Cp932Codec.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace {

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

std::uint32_t CMapStringToString::OrderHash(std::string_view key) const {
    if (m_order == Order::CodePage932) {
        if (const std::optional<std::string> bytes = cp932::Encode(key)) {
            return HashKey(*bytes);
        }
    }
    return HashKey(key);
}

const CMapStringToString::Entry* CMapStringToString::Find(std::string_view key) const {
    if (m_index.empty()) {
        return nullptr;
    }
    const std::size_t mask = m_index.size() - 1;
    for (std::size_t i = IndexHash(key) & mask; m_index[i] != 0; i = (i + 1) & mask) {
        const std::uint64_t slot = m_index[i] - 1;
        const Entry& entry = m_buckets[slot >> 32][slot & 0xFFFFFFFFu];
        if (entry.key == key) {
            return &entry;
        }
    }
    return nullptr;
}

CMapStringToString::Entry* CMapStringToString::Find(std::string_view key) {
    return const_cast<Entry*>(std::as_const(*this).Find(key));
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
    if (Entry* entry = Find(key)) {
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
    const std::uint32_t hash = OrderHash(key);
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

const std::string* CMapStringToString::Lookup(std::string_view key) const {
    if (!MayHoldLength(key.size())) {
        return nullptr;
    }
    const Entry* entry = Find(key);
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
