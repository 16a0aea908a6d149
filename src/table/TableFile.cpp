#include "table/TableFile.h"

#include "platform/Cp932.h"
#include "table/DefaultTable.h"
#include "table/TableFileSystem.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Strings are read as the class library's strings, which end at a NUL.
std::string UpToNul(std::string_view s) {
    return std::string(s.substr(0, s.find('\0')));
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

void ReadMapBody(Reader& in, CMapStringToString& shifted) {
    const std::uint32_t count = in.Count();
    // Every entry takes at least two bytes, so a damaged count ends at the
    // file's end instead of allocating for it.
    for (std::uint32_t i = 0; i < count && !in.Failed(); ++i) {
        const auto key = in.String();
        const auto value = in.String();
        if (!in.Failed()) {
            shifted.SetAt(UpToNul(key), UpToNul(value));
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

void WriteMapBody(Writer& out, const CMapStringToString& map) {
    // The file holds the entries in the order of the shifted keys' buckets.
    CMapStringToString shifted;
    for (const auto& entry : map) {
        shifted.SetAt(StoredKey(entry.key), entry.value);
    }
    out.Count(shifted.GetCount());
    for (const auto& entry : shifted) {
        out.String(entry.key);
        out.String(entry.value);
    }
}

std::error_code LastError() {
    return {errno, std::generic_category()};
}

enum class FileRead { Read, NotThere, TooLarge, Failed };

// Reads a regular file of at most kMaxTableFileBytes. Anything else (a folder,
// a FIFO, a device) counts as not there and is never opened for reading, so
// start-up cannot block on it; a symbolic link is followed to its target.
FileRead ReadTableFile(const std::filesystem::path& file, std::string& bytes) {
    TableFileSystem& sys = TableFileSystem::Current();
    struct stat status {};
    if (sys.Stat(file.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return FileRead::NotThere;
    }
    // Without blocking, in case a FIFO took the file's place since the check.
    const int fd = sys.Open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0);
    if (fd < 0) {
        return FileRead::NotThere;
    }
    FileRead result = FileRead::Read;
    if (sys.Fstat(fd, &status) != 0) {
        result = FileRead::Failed;
    } else if (!S_ISREG(status.st_mode)) {
        result = FileRead::NotThere;
    } else if (static_cast<std::uintmax_t>(status.st_size) > kMaxTableFileBytes) {
        result = FileRead::TooLarge;
    } else {
        bytes.reserve(static_cast<std::size_t>(status.st_size));
    }
    // One byte past the cap tells a file that grew while being read.
    char buffer[65536];
    while (result == FileRead::Read) {
        const ssize_t n = sys.Read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            result = FileRead::Failed;
        } else if (n == 0) {
            break;
        } else {
            bytes.append(buffer, static_cast<std::size_t>(n));
            if (bytes.size() > kMaxTableFileBytes) {
                result = FileRead::TooLarge;
            }
        }
    }
    sys.Close(fd);
    return result;
}

// The file that a save replaces: the final target of a chain of symbolic
// links, so that the link stays and its target gets the new table.
std::filesystem::path SaveTarget(const std::filesystem::path& file) {
    std::filesystem::path target = file;
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(target, ec))) {
            break;
        }
        const std::filesystem::path next = std::filesystem::read_symlink(target, ec);
        if (ec) {
            break;
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

constexpr std::string_view kTempLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kTempSuffixLength = 6;

bool IsTempNameOf(std::string_view name, std::string_view base) {
    if (name.size() != base.size() + 1 + kTempSuffixLength || name.substr(0, base.size()) != base ||
        name[base.size()] != '.') {
        return false;
    }
    const auto suffix = name.substr(base.size() + 1);
    return suffix.find_first_not_of(kTempLetters) == std::string_view::npos;
}

// A save holds a lock on its temporary file until the rename; a temporary
// file of ours that nobody holds is left over from a save that was killed.
void RemoveStaleTempFiles(const std::filesystem::path& target) {
    TableFileSystem& sys = TableFileSystem::Current();
    const std::string base = target.filename().string();
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::filesystem::path candidate = it->path();
        if (!IsTempNameOf(candidate.filename().string(), base)) {
            continue;
        }
        const int fd = sys.Open(candidate.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0);
        if (fd < 0) {
            continue;
        }
        struct stat status {};
        if (sys.Fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid() &&
            sys.Flock(fd, LOCK_EX | LOCK_NB) == 0) {
            sys.Unlink(candidate.c_str());
        }
        sys.Close(fd);
    }
}

// Creates and locks a new temporary file beside `target`. Created with 0666,
// so the kernel applies the umask without the process's umask being touched.
int CreateTempFile(const std::filesystem::path& target, std::string& name) {
    TableFileSystem& sys = TableFileSystem::Current();
    std::random_device entropy;
    std::uniform_int_distribution<std::size_t> letter(0, kTempLetters.size() - 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix(kTempSuffixLength, ' ');
        for (char& c : suffix) {
            c = kTempLetters[letter(entropy)];
        }
        name = target.string() + "." + suffix;
        const int fd = sys.Open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (sys.Flock(fd, LOCK_EX) != 0) {
                const std::error_code error = LastError();
                sys.Close(fd);
                sys.Unlink(name.c_str());
                errno = error.value();
                return -1;
            }
            return fd;
        }
        if (errno != EEXIST) {
            return -1;
        }
    }
    errno = EEXIST;
    return -1;
}

std::error_code WriteAll(int fd, std::string_view bytes) {
    TableFileSystem& sys = TableFileSystem::Current();
    while (!bytes.empty()) {
        const ssize_t n = sys.Write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

// The old file's mode, and its owner where we may set it.
std::error_code TakeOverAttributes(int fd, const struct stat& old) {
    TableFileSystem& sys = TableFileSystem::Current();
    // An owner change may clear set-id bits, so it comes before the mode.
    if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
        sys.Fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) {
        return LastError();
    }
    if (sys.Fchmod(fd, old.st_mode & 07777) != 0) {
        return LastError();
    }
    return {};
}

// Makes the rename itself durable. Some file systems cannot sync a folder.
std::error_code SyncFolder(const std::filesystem::path& target) {
    TableFileSystem& sys = TableFileSystem::Current();
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    const int fd = sys.Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) {
        return LastError();
    }
    std::error_code error;
    if (sys.Fsync(fd) != 0 && errno != EINVAL) {
        error = LastError();
    }
    sys.Close(fd);
    return error;
}

} // namespace

std::string StoredKey(std::string_view key) {
    return ShiftKey(key, 2);
}

std::string KeyFromStored(std::string_view stored) {
    return ShiftKey(UpToNul(stored), -2);
}

std::size_t UnstorableKeyByte(std::string_view key) {
    const std::size_t kept = KeyFromStored(StoredKey(key)).size();
    return kept < key.size() ? kept : std::string_view::npos;
}

std::size_t UnstorableValueByte(std::string_view value) {
    return value.find('\0');
}

void TableFileSize::Add(std::size_t map, std::string_view key, std::string_view value) {
    ++m_counts[map];
    m_entryBytes += StringBytes(StoredKey(key).size()) + StringBytes(UpToNul(value).size());
}

std::size_t TableFileSize::Bytes() const {
    std::size_t bytes = CountBytes(kMapCount) + kClassDescriptionBytes + 2 * (kMapCount - 1) + m_entryBytes;
    for (const std::size_t count : m_counts) {
        bytes += CountBytes(count);
    }
    return bytes;
}

std::string DescribeTableReadError(TableReadError error) {
    switch (error) {
    case TableReadError::None:
        return {};
    case TableReadError::EndOfFile:
        return cp932::Text(" の末尾以降にｱｸｾｽしようとしました。");
    case TableReadError::BadClass:
        return cp932::Text("変換表ファイルの形式が正しくありません（変換表ではないデータです）。");
    case TableReadError::BadFormat:
        return cp932::Text("変換表ファイルの形式が正しくありません。");
    case TableReadError::UnexpectedObject:
        return cp932::Text("変換表ファイルに予期しないデータが含まれています。");
    case TableReadError::TrailingData:
        return cp932::Text("変換表ファイルの末尾に余分なデータがあります。");
    case TableReadError::TooLarge:
        return cp932::Text("変換表ファイルが大きすぎます（変換表ではないファイルです）。");
    case TableReadError::ReadFailed:
        return cp932::Text("変換表ファイルの読み取り中にエラーが発生しました。");
    }
    return {};
}

TableReadError ParseConversionTable(std::string_view bytes, ConversionTable& table) {
    Reader in(bytes);
    const std::uint32_t maps = in.Count();
    if (!in.Failed() && maps != kMapCount) {
        in.Fail(TableReadError::BadFormat);
    }
    std::array<CMapStringToString, kMapCount> shifted;
    for (std::size_t i = 0; i < kMapCount && !in.Failed(); ++i) {
        ReadObjectTag(in, i == 0);
        ReadMapBody(in, shifted[i]);
    }
    if (!in.Failed() && !in.AtEnd()) {
        in.Fail(TableReadError::TrailingData);
    }
    if (in.Failed()) {
        return in.Error();
    }
    // Entries reach the maps only once the whole file has been read.
    std::array<CMapStringToString*, kMapCount> targets{&table.letters, &table.digits, &table.symbols};
    for (std::size_t i = 0; i < kMapCount; ++i) {
        for (const auto& entry : shifted[i]) {
            targets[i]->SetAt(KeyFromStored(entry.key), entry.value);
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

LoadResult LoadConversionTable(ConversionTable& table, const std::filesystem::path& file) {
    std::string bytes;
    switch (ReadTableFile(file, bytes)) {
    case FileRead::NotThere:
        FillDefaultTable(table);
        return {LoadResult::Source::Defaults};
    case FileRead::TooLarge:
        return {LoadResult::Source::Failed, TableReadError::TooLarge};
    case FileRead::Failed:
        return {LoadResult::Source::Failed, TableReadError::ReadFailed};
    case FileRead::Read:
        break;
    }
    const TableReadError error = ParseConversionTable(bytes, table);
    if (error != TableReadError::None) {
        return {LoadResult::Source::Failed, error};
    }
    return {LoadResult::Source::File};
}

std::error_code SaveConversionTable(const ConversionTable& table, const std::filesystem::path& file) {
    TableFileSystem& sys = TableFileSystem::Current();
    const std::string bytes = SerializeConversionTable(table);
    const std::filesystem::path target = SaveTarget(file);
    RemoveStaleTempFiles(target);

    std::string temp;
    const int fd = CreateTempFile(target, temp);
    if (fd < 0) {
        return LastError();
    }
    std::error_code error;
    struct stat old {};
    if (sys.Stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        error = TakeOverAttributes(fd, old);
    }
    if (!error) {
        error = WriteAll(fd, bytes);
    }
    if (!error && sys.Fsync(fd) != 0) {
        error = LastError();
    }
    // Renamed while still locked, so that no other save takes it for stale.
    if (!error && sys.Rename(temp.c_str(), target.c_str()) != 0) {
        error = LastError();
    }
    if (error) {
        sys.Unlink(temp.c_str());
        sys.Close(fd);
        return error;
    }
    if (sys.Close(fd) != 0) {
        error = LastError();
    }
    if (const std::error_code synced = SyncFolder(target); !error) {
        error = synced;
    }
    return error;
}
