#include "table/TableFile.h"

#include "platform/Cp932Codec.h"
#include "table/DefaultTable.h"
#include "files/FileError.h"
#include "files/FileReader.h"
#include "files/FileWriter.h"
#include "platform/FileErrorText.h"
#include "platform/UserText.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>

namespace {

constexpr std::string_view kClassName = "CMapStringToString";
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kFirstClassTag = 0x8001;
constexpr std::uint32_t kMapCount = 3;

constexpr std::size_t kClassDescriptionBytes = 2 + 2 + 2 + kClassName.size();

// Keys are stored with every byte shifted; a byte that becomes 0 ends the key.
std::string ShiftKey(std::string_view key, int delta) {
    std::string out;
    out.reserve(key.size());
    for (const char c : key) {
        const auto b = static_cast<unsigned char>(static_cast<unsigned char>(c) + delta);
        if (b == 0) {
            break;
        }
        out += static_cast<char>(b);
    }
    return out;
}

// The file's code page 932 bytes of a UTF-8 text; text the codec cannot
// hold (the editor and the import refuse it) goes as it is.
std::string FileBytes(std::string_view utf8) {
    std::optional<std::string> bytes = cp932::Encode(utf8);
    return bytes ? *std::move(bytes) : std::string(utf8);
}

std::optional<LostByte> FirstLost(const std::string& bytes, std::size_t kept) {
    if (kept >= bytes.size()) {
        return std::nullopt;
    }
    return LostByte{kept, static_cast<unsigned char>(bytes[kept])};
}

// Strings are read as the class library's strings, which end at a NUL.
std::string_view ViewUpToNul(std::string_view s) {
    return s.substr(0, s.find('\0'));
}

std::string UpToNul(std::string_view s) {
    return std::string(ViewUpToNul(s));
}

// The bytes the writer gives a count and a string of `length` bytes.
std::size_t CountBytes(std::size_t count) {
    return count < 0xFFFF ? 2 : 6;
}

std::size_t StringBytes(std::size_t length) {
    return length + (length < 0xFF ? 1 : length < 0xFFFE ? 3 : 7);
}

class Reader {
public:
    explicit Reader(std::string_view bytes)
        : m_bytes(bytes) {}

    bool AtEnd() const { return m_pos == m_bytes.size(); }
    std::size_t Left() const { return m_bytes.size() - m_pos; }
    TableReadError Error() const { return m_error; }
    bool Failed() const { return m_error != TableReadError::None; }
    void Fail(TableReadError error) {
        if (!Failed()) {
            m_error = error;
        }
    }

    std::uint32_t U8() { return Take(1); }
    std::uint32_t U16() { return Take(2); }
    std::uint32_t U32() { return Take(4); }

    std::uint32_t Count() {
        const std::uint32_t n = U16();
        return n == 0xFFFF ? U32() : n;
    }

    std::string_view Bytes(std::uint32_t length) {
        if (Failed()) {
            return {};
        }
        if (length > m_bytes.size() - m_pos) {
            Fail(TableReadError::EndOfFile);
            return {};
        }
        const auto s = m_bytes.substr(m_pos, length);
        m_pos += length;
        return s;
    }

    std::string_view String() {
        std::uint32_t length = U8();
        if (length == 0xFF) {
            length = U16();
            if (length == 0xFFFE) {
                Fail(TableReadError::BadFormat);
                return {};
            }
            if (length == 0xFFFF) {
                length = U32();
            }
        }
        return Bytes(length);
    }

private:
    std::uint32_t Take(std::size_t size) {
        if (Failed()) {
            return 0;
        }
        if (size > m_bytes.size() - m_pos) {
            Fail(TableReadError::EndOfFile);
            return 0;
        }
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < size; ++i) {
            v |= static_cast<std::uint32_t>(static_cast<unsigned char>(m_bytes[m_pos + i])) << (8 * i);
        }
        m_pos += size;
        return v;
    }

    std::string_view m_bytes;
    std::size_t m_pos = 0;
    TableReadError m_error = TableReadError::None;
};

class Writer {
public:
    void U8(std::uint32_t v) { m_out += static_cast<char>(v & 0xFF); }
    void U16(std::uint32_t v) {
        U8(v);
        U8(v >> 8);
    }
    void U32(std::uint32_t v) {
        U16(v);
        U16(v >> 16);
    }
    void Count(std::size_t n) {
        if (n < 0xFFFF) {
            U16(static_cast<std::uint32_t>(n));
        } else {
            U16(0xFFFF);
            U32(static_cast<std::uint32_t>(n));
        }
    }
    void String(std::string_view s) {
        const std::size_t n = s.size();
        if (n < 0xFF) {
            U8(static_cast<std::uint32_t>(n));
        } else if (n < 0xFFFE) {
            U8(0xFF);
            U16(static_cast<std::uint32_t>(n));
        } else {
            U8(0xFF);
            U16(0xFFFF);
            U32(static_cast<std::uint32_t>(n));
        }
        m_out += s;
    }
    void Raw(std::string_view s) { m_out += s; }
    std::string Take() { return std::move(m_out); }

private:
    std::string m_out;
};

// One map's entries as the file holds them: views of its bytes, each key and
// value up to its NUL, each key once.
struct ReadMap {
    std::vector<std::string_view> keys, values;
};

// A key read again keeps its first place and takes the later value, as the
// map's SetAt does.
void AddRead(ReadMap& map, std::vector<std::uint32_t>& slots, std::string_view key, std::string_view value) {
    const std::size_t mask = slots.size() - 1;
    const std::size_t hash = std::hash<std::string_view>{}(key);
    std::size_t i = hash & mask;
    for (; slots[i] != 0; i = (i + 1) & mask) {
        if (map.keys[slots[i] - 1] == key) {
            map.values[slots[i] - 1] = value;
            return;
        }
    }
    map.keys.push_back(key);
    map.values.push_back(value);
    slots[i] = static_cast<std::uint32_t>(map.keys.size());
}

void ReadMapBody(Reader& in, ReadMap& map) {
    const std::uint32_t count = in.Count();
    // Every entry takes at least two bytes, so a damaged count ends at the
    // file's end instead of allocating for it.
    const std::size_t most = std::min<std::size_t>(count, in.Left() / 2);
    map.keys.reserve(most);
    map.values.reserve(most);
    std::size_t size = 64;
    while (size < most * 2) {
        size *= 2;
    }
    std::vector<std::uint32_t> slots(size, 0); // places + 1 in `map`, by key
    for (std::uint32_t i = 0; i < count && !in.Failed(); ++i) {
        const auto key = in.String();
        const auto value = in.String();
        if (!in.Failed()) {
            AddRead(map, slots, ViewUpToNul(key), ViewUpToNul(value));
        }
    }
}

void ReadObjectTag(Reader& in, bool first) {
    const std::uint32_t tag = in.U16();
    if (in.Failed()) {
        return;
    }
    if (first) {
        if (tag != kNewClassTag) {
            in.Fail(TableReadError::UnexpectedObject);
            return;
        }
        const std::uint32_t schema = in.U16();
        const auto name = in.Bytes(in.U16());
        if (!in.Failed() && (schema != 0 || name != kClassName)) {
            in.Fail(TableReadError::BadClass);
        }
    } else if (tag != kFirstClassTag) {
        in.Fail(TableReadError::UnexpectedObject);
    }
}

void WriteMapBody(Writer& out, const HashOrderMap& map) {
    // The file holds the entries in the order of the shifted keys' buckets.
    HashOrderMap shifted(HashOrderMap::Order::Bytes);
    for (const auto& entry : map) {
        shifted.insert_or_assign(StoredKey(entry.key), FileBytes(entry.value));
    }
    out.Count(shifted.size());
    for (const auto& entry : shifted) {
        out.String(entry.key);
        out.String(entry.value);
    }
}

} // namespace

std::string StoredKey(std::string_view key) {
    return ShiftKey(FileBytes(key), 2);
}

std::string KeyFromStored(std::string_view stored) {
    return cp932::Decode(ShiftKey(UpToNul(stored), -2));
}

std::string AsTheFileGivesItBack(std::string_view utf8) {
    return cp932::Decode(FileBytes(utf8));
}

std::optional<LostByte> UnstorableKeyByte(std::string_view key) {
    const std::string bytes = FileBytes(key);
    return FirstLost(bytes, ShiftKey(ShiftKey(bytes, 2), -2).size());
}

std::optional<LostByte> UnstorableValueByte(std::string_view value) {
    const std::string bytes = FileBytes(value);
    return FirstLost(bytes, UpToNul(bytes).size());
}

void TableFileSize::Add(std::size_t map, std::string_view key, std::string_view value) {
    ++m_counts[map];
    m_entryBytes += StringBytes(StoredKey(key).size()) + StringBytes(UpToNul(FileBytes(value)).size());
}

std::size_t TableFileSize::Bytes() const {
    std::size_t bytes = CountBytes(kMapCount) + kClassDescriptionBytes + 2 * (kMapCount - 1) + m_entryBytes;
    for (const std::size_t count : m_counts) {
        bytes += CountBytes(count);
    }
    return bytes;
}

std::string DescribeTableReadError(TableReadError error, std::string_view fileName) {
    switch (error) {
    case TableReadError::None:
        return {};
    case TableReadError::EndOfFile:
        return std::string(fileName) + std::string(" の末尾以降にｱｸｾｽしようとしました。");
    case TableReadError::BadClass:
        return std::string("変換表ファイルの形式が正しくありません（変換表ではないデータです）。");
    case TableReadError::BadFormat:
        return std::string("変換表ファイルの形式が正しくありません。");
    case TableReadError::UnexpectedObject:
        return std::string("変換表ファイルに予期しないデータが含まれています。");
    case TableReadError::TrailingData:
        return std::string("変換表ファイルの末尾に余分なデータがあります。");
    case TableReadError::TooLarge:
        return std::string("変換表ファイルが大きすぎます（変換表ではないファイルです）。");
    case TableReadError::ReadFailed:
        return std::string("変換表ファイルの読み取り中にエラーが発生しました。");
    case TableReadError::Unreadable:
        return std::string("変換表ファイルを開けません。");
    case TableReadError::BadEntry:
        return std::string("変換表ファイルに、パスワードに使えない値の項目があります。");
    }
    return {};
}

std::string DescribeLoadFailure(const LoadResult& loaded, std::string_view fileName) {
    std::string text = DescribeTableReadError(loaded.error, fileName);
    if (loaded.error == TableReadError::Unreadable) {
        text += "（" + FileErrorReason(loaded.cause) + "）";
    } else if (loaded.error == TableReadError::BadEntry) {
        text += "（" + loaded.entry + "）";
    }
    return text;
}

TableReadError ParseConversionTable(std::string_view bytes, ConversionTable& table) {
    Reader in(bytes);
    const std::uint32_t maps = in.Count();
    if (!in.Failed() && maps != kMapCount) {
        in.Fail(TableReadError::BadFormat);
    }
    std::array<ReadMap, kMapCount> read;
    for (std::size_t i = 0; i < kMapCount && !in.Failed(); ++i) {
        ReadObjectTag(in, i == 0);
        ReadMapBody(in, read[i]);
    }
    if (!in.Failed() && !in.AtEnd()) {
        in.Fail(TableReadError::TrailingData);
    }
    if (in.Failed()) {
        return in.Error();
    }
    // Entries reach the maps only once the whole file has been read, in the
    // order a map of the stored keys gives them.
    std::array<HashOrderMap*, kMapCount> targets{&table.letters, &table.digits, &table.symbols};
    for (std::size_t i = 0; i < kMapCount; ++i) {
        targets[i]->reserve(read[i].keys.size());
        for (const std::uint32_t place : HashOrderMap::VisitOrder(read[i].keys)) {
            const std::string keyBytes = ShiftKey(read[i].keys[place], -2);
            targets[i]->insert_or_assign(cp932::Decode(keyBytes), cp932::Decode(read[i].values[place]), keyBytes);
        }
    }
    return TableReadError::None;
}

std::string SerializeConversionTable(const ConversionTable& table) {
    Writer out;
    out.Count(kMapCount);
    out.U16(kNewClassTag);
    out.U16(0);
    out.U16(static_cast<std::uint32_t>(kClassName.size()));
    out.Raw(kClassName);
    WriteMapBody(out, table.letters);
    out.U16(kFirstClassTag);
    WriteMapBody(out, table.digits);
    out.U16(kFirstClassTag);
    WriteMapBody(out, table.symbols);
    return out.Take();
}

namespace {

// The first entry whose value is not exactly one character that prints (a
// crafted file may hold an escape or a line feed), as a message names it;
// empty when every value is one.
std::string RefusedEntry(const ConversionTable& table) {
    for (const TableMap map : kTableMaps) {
        for (const auto& entry : table.Map(map)) {
            char32_t code = 0;
            const bool one = !entry.value.empty() && utf8::DecodeOne(entry.value, code) == entry.value.size();
            if (!one || code < 0x20 || (code >= 0x7F && code < 0xA0)) {
                return std::string(TableMapName(map)) + " " + ShownUserText(entry.key) + " → " +
                       ShownUserText(entry.value);
            }
        }
    }
    return {};
}

} // namespace

LoadResult LoadConversionTable(ConversionTable& table, const std::filesystem::path& file) {
    std::string bytes;
    bool opened = false;
    const std::error_code error = files::ReadRegularFile(file.string(), kMaxTableFileBytes, bytes, &opened);
    if (error == files::FileError::TooLarge) {
        return {LoadResult::Source::Failed, TableReadError::TooLarge, error};
    }
    if (error && opened) {
        return {LoadResult::Source::Failed, TableReadError::ReadFailed, error};
    }
    if (error && !files::NameTaken(file.string())) {
        FillDefaultTable(table);
        return {LoadResult::Source::Defaults, TableReadError::None, error};
    }
    if (error) {
        const std::error_code cause =
            error == std::errc::no_such_file_or_directory ? make_error_code(files::FileError::DanglingLink) : error;
        return {LoadResult::Source::Failed, TableReadError::Unreadable, cause};
    }
    const TableReadError parsed = ParseConversionTable(bytes, table);
    if (parsed != TableReadError::None) {
        return {LoadResult::Source::Failed, parsed};
    }
    if (std::string entry = RefusedEntry(table); !entry.empty()) {
        table.clear();
        return {LoadResult::Source::Failed, TableReadError::BadEntry, {}, std::move(entry)};
    }
    return {LoadResult::Source::File};
}

std::error_code SaveConversionTable(const ConversionTable& table, const std::filesystem::path& file) {
    const std::string bytes = SerializeConversionTable(table);
    // Never a file that the next start would refuse.
    if (bytes.size() > kMaxTableFileBytes) {
        return files::FileError::TooLarge;
    }
    return files::WriteFile(file.string(), bytes, files::Target::TableFile);
}
