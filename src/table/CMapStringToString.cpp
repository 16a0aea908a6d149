#include "table/CMapStringToString.h"

#include <utility>

namespace {

// Longer chains are searched through the position index.
constexpr std::size_t kWalkedChain = 16;

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
    const auto& chain = m_buckets[hash % kBucketCount];
    if (chain.size() <= kWalkedChain) {
        for (const auto& entry : chain) {
            if (entry.hash == hash && entry.key == key) {
                return &entry;
            }
        }
        return nullptr;
    }
    const auto found = m_positions.find(key);
    return found == m_positions.end() ? nullptr : &chain[found->second];
}

CMapStringToString::Entry* CMapStringToString::Find(std::string_view key, std::uint32_t hash) {
    return const_cast<Entry*>(std::as_const(*this).Find(key, hash));
}

void CMapStringToString::SetAt(std::string_view key, std::string_view value) {
    const std::uint32_t hash = HashKey(key);
    if (Entry* entry = Find(key, hash)) {
        entry->value = value;
        return;
    }
    auto& chain = m_buckets[hash % kBucketCount];
    m_positions.emplace(key, static_cast<std::uint32_t>(chain.size()));
    chain.push_back(Entry{std::string(key), std::string(value), hash});
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
    m_positions.clear();
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
