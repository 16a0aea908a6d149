#include "files/FileWriter.h"

#include "files/FileError.h"
#include "files/FileReader.h"
#include "files/System.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {
namespace {

namespace fs = std::filesystem;

std::error_code LastError() {
    return {errno, std::generic_category()};
}

// Temporary files carry a mark no user gives a file: a leading dot, the
// start of the target's name, this tag and six random letters. Only the start,
// so that a target whose name is as long as a name may be still has one.
constexpr std::string_view kTempTag = ".q8xj-tmp-";
constexpr std::string_view kTempLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kTempSuffixLength = 6;
constexpr std::size_t kTempBaseBytes = 32;

// The target's name cut to kTempBaseBytes, on a UTF-8 character boundary.
std::string TempBase(const fs::path& target) {
    std::string base = target.filename().string();
    if (base.size() > kTempBaseBytes) {
        std::size_t cut = kTempBaseBytes;
        while (cut > 0 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        base.resize(cut);
    }
    return base;
}

bool IsOwnTempName(std::string_view name, std::string_view base) {
    const std::size_t prefix = 1 + base.size() + kTempTag.size();
    return name.size() == prefix + kTempSuffixLength && name[0] == '.' &&
           name.substr(1, base.size()) == base && name.substr(1 + base.size(), kTempTag.size()) == kTempTag &&
           name.substr(prefix).find_first_not_of(kTempLetters) == std::string_view::npos;
}

// Names of the temporary files being written, for the signal handler: fixed
// storage, since a handler may not allocate.
constexpr std::size_t kLiveSlots = 4;
struct LiveTemp {
    std::atomic<bool> used{false};
    char path[4096]{};
};
std::array<LiveTemp, kLiveSlots> g_live;

LiveTemp* Remember(const std::string& path) {
    if (path.size() >= sizeof LiveTemp::path) {
        return nullptr;
    }
    for (LiveTemp& slot : g_live) {
        if (!slot.used.load()) {
            std::memcpy(slot.path, path.c_str(), path.size() + 1);
            slot.used.store(true);
            return &slot;
        }
    }
    return nullptr;
}

void Forget(LiveTemp* slot) {
    if (slot != nullptr) {
        slot->used.store(false);
    }
}

extern "C" void RemoveLiveTemps(int signal) {
    for (LiveTemp& slot : g_live) {
        if (slot.used.load()) {
            ::unlink(slot.path);
        }
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// The descriptor of this process that `link` stands for (/proc/self/fd/N,
// also reached as /dev/stdout or /dev/fd/N), or -1.
int OwnDescriptor(const fs::path& link) {
    std::error_code ec;
    const std::string folder = fs::weakly_canonical(fs::absolute(link, ec).parent_path(), ec).string();
    const std::string number = link.filename().string();
    if (ec || folder != "/proc/" + std::to_string(::getpid()) + "/fd" || number.empty() ||
        number.find_first_not_of("0123456789") != std::string::npos || number.size() > 9) {
        return -1;
    }
    return std::stoi(number);
}

// The file a chain of symbolic links ends at, so that a link stays and its
// target gets the new content. `throughProc` tells a chain through /proc,
// whose end is a descriptor, not a name to replace; `descriptor` is set when
// that descriptor is one of this process's own.
fs::path FollowLinks(const fs::path& file, bool& throughProc, int& descriptor) {
    fs::path target = file;
    throughProc = false;
    descriptor = -1;
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(target, ec))) {
            break;
        }
        const fs::path next = fs::read_symlink(target, ec);
        if (ec) {
            break;
        }
        // A link of /proc's (the name given, or one on the way) stands for a descriptor.
        if (const int fd = OwnDescriptor(target); fd >= 0 && descriptor < 0) {
            descriptor = fd;
        }
        throughProc = throughProc || descriptor >= 0 ||
                      fs::absolute(target, ec).lexically_normal().string().rfind("/proc/", 0) == 0;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

fs::path FolderOf(const fs::path& target) {
    return target.parent_path().empty() ? fs::path(".") : target.parent_path();
}

// Why the user could not write the file itself, if not: refused rights, or for
// the superuser, who may write anything, no write bit, as cp does; any other
// cause (a read-only file system) as itself.
std::error_code MayWrite(const fs::path& file, const struct stat& status) {
    if (System::Current().Access(file.c_str(), W_OK) != 0) {
        return errno == EACCES || errno == EPERM ? make_error_code(FileError::ReadOnly) : LastError();
    }
    return ::geteuid() != 0 || (status.st_mode & 0222) != 0 ? std::error_code() : FileError::ReadOnly;
}

std::error_code WriteAll(int fd, std::string_view bytes) {
    System& sys = System::Current();
    while (!bytes.empty()) {
        const ssize_t n = Uninterrupted([&] { return sys.Write(fd, bytes.data(), bytes.size()); });
        if (n < 0) {
            return LastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

// A temporary file of ours that nobody holds locked is left over from a
// write that was killed.
void RemoveStaleTemps(const fs::path& target) {
    System& sys = System::Current();
    const std::string base = TempBase(target);
    std::error_code ec;
    for (fs::directory_iterator it(FolderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path candidate = it->path();
        if (!IsOwnTempName(candidate.filename().string(), base)) {
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

// Links a new, unnamed and already locked file under `name`, so that no
// stale-file clean-up can take it for a leftover before it is locked. -1 with
// errno EOPNOTSUPP where the file system has no unnamed files.
int CreateLockedUnnamed(const fs::path& folder, const std::string& name, mode_t mode) {
    System& sys = System::Current();
    const int fd = sys.Open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
    if (fd < 0) {
        // Older kernels say EISDIR, file systems without the feature EOPNOTSUPP.
        errno = errno == EISDIR ? EOPNOTSUPP : errno;
        return -1;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (sys.Flock(fd, LOCK_EX) != 0 ||
        ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        const int error = errno == ENOENT && ::access("/proc/self/fd", F_OK) != 0 ? EOPNOTSUPP : errno;
        sys.Close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

// Creates, then locks, a new named file: a stale-file clean-up may remove it in
// between, which the caller sees as a failed write.
int CreateNamedThenLock(const std::string& name, mode_t mode) {
    System& sys = System::Current();
    const int fd = sys.Open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0 && sys.Flock(fd, LOCK_EX) != 0) {
        const std::error_code error = LastError();
        sys.Close(fd);
        sys.Unlink(name.c_str());
        errno = error.value();
        return -1;
    }
    return fd;
}

// Creates and locks a new temporary file beside `target`, with `mode` less
// the umask.
int CreateTemp(const fs::path& target, std::string& name, mode_t mode = 0666) {
    std::random_device entropy;
    std::uniform_int_distribution<std::size_t> letter(0, kTempLetters.size() - 1);
    bool unnamed = true;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix(kTempSuffixLength, ' ');
        for (char& c : suffix) {
            c = kTempLetters[letter(entropy)];
        }
        std::string leaf = ".";
        leaf += TempBase(target);
        leaf += kTempTag;
        leaf += suffix;
        name = (FolderOf(target) / leaf).string();
        int fd = unnamed ? CreateLockedUnnamed(FolderOf(target), name, mode) : -1;
        if (fd < 0 && unnamed && errno == EOPNOTSUPP) {
            unnamed = false;
        }
        if (fd < 0 && !unnamed) {
            fd = CreateNamedThenLock(name, mode);
        }
        if (fd >= 0) {
            return fd;
        }
        if (errno != EEXIST) {
            return -1;
        }
    }
    errno = EEXIST;
    return -1;
}

// The old file's mode, and its owner where we may set it; a file that now
// holds a secret is readable by its owner only, whatever it was before.
std::error_code TakeOverAttributes(int fd, const struct stat& old, Access access) {
    System& sys = System::Current();
    // An owner change may clear set-id bits, so it comes before the mode.
    if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
        sys.Fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM) {
        return LastError();
    }
    const mode_t mode = access == Access::Private ? old.st_mode & 07700 : old.st_mode & 07777;
    if (sys.Fchmod(fd, mode) != 0) {
        return LastError();
    }
    return {};
}

// Makes the rename itself durable. Some file systems cannot sync a folder.
std::error_code SyncFolder(const fs::path& target) {
    System& sys = System::Current();
    const int fd = sys.Open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
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

std::error_code ReplaceAtomically(const fs::path& target, std::string_view bytes, const struct stat* old,
                                  Access access) {
    System& sys = System::Current();
    RemoveStaleTemps(target);
    std::string temp;
    const int fd = CreateTemp(target, temp, access == Access::Private ? 0600 : 0666);
    if (fd < 0) {
        return LastError();
    }
    LiveTemp* live = Remember(temp);
    std::error_code error;
    if (old != nullptr) {
        error = TakeOverAttributes(fd, *old, access);
    }
    if (!error) {
        error = WriteAll(fd, bytes);
    }
    if (!error && sys.Fsync(fd) != 0) {
        error = LastError();
    }
    // Renamed while still locked, so that no other write takes it for stale.
    if (!error && sys.Rename(temp.c_str(), target.c_str()) != 0) {
        error = LastError();
    }
    if (error) {
        sys.Unlink(temp.c_str());
        sys.Close(fd);
        Forget(live);
        return error;
    }
    Forget(live);
    if (sys.Close(fd) != 0) {
        error = LastError();
    }
    if (const std::error_code synced = SyncFolder(target); !error) {
        error = synced;
    }
    return error;
}

// A regular file's bytes before a rewrite, so that a failed one can put
// them back; none when the file cannot be read back or is over 64 MiB.
struct OldBytes {
    bool kept = false;
    std::string bytes;
};

OldBytes KeepOldBytes(int fd) {
    OldBytes old;
    old.kept =
        !ReadAll(fd, std::size_t{64} << 20, old.bytes, Waiting::Refuse) && ::lseek(fd, 0, SEEK_SET) == 0;
    return old;
}

// Puts back what a failed rewrite changed, as far as the file lets us.
void PutBack(int fd, const OldBytes& old) {
    System& sys = System::Current();
    if (old.kept && ::lseek(fd, 0, SEEK_SET) == 0) {
        WriteAll(fd, old.bytes);
    }
    if (old.kept) {
        sys.Ftruncate(fd, static_cast<off_t>(old.bytes.size()));
        sys.Fsync(fd);
    }
}

// Writes into what is there: a FIFO, a device, standard output, or a file
// whose hard links must stay. A FIFO nobody reads fails at once; a regular
// file gets its old bytes back when the rewrite fails.
std::error_code WriteInPlace(const fs::path& file, std::string_view bytes, bool regular,
                             Access access = Access::Shared) {
    System& sys = System::Current();
    const int common = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int fd = regular ? sys.Open(file.c_str(), O_RDWR | common, 0) : -1;
    if (fd < 0) {
        fd = sys.Open(file.c_str(), O_WRONLY | common, 0);
    }
    if (fd < 0) {
        return errno == ENXIO ? make_error_code(FileError::NoReader) : LastError();
    }
    // A secret is not written where others could read it; the mode changes
    // before anything else does.
    struct stat status {};
    if (regular && access == Access::Private &&
        (sys.Fstat(fd, &status) != 0 || sys.Fchmod(fd, status.st_mode & 07700) != 0)) {
        const std::error_code error = LastError();
        sys.Close(fd);
        return error;
    }
    const OldBytes old = regular ? KeepOldBytes(fd) : OldBytes{};
    // Now that a reader is there, writes may wait for it.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) {
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    std::error_code error;
    // The space is taken first, so a full disk fails before anything changes.
    if (regular) {
        const int taken = ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
        if (taken != 0 && taken != EOPNOTSUPP && taken != EINVAL) {
            error = {taken, std::generic_category()};
        }
    }
    if (!error) {
        error = WriteAll(fd, bytes);
    }
    if (!error && regular && sys.Ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) {
        error = LastError();
    }
    if (!error && regular && sys.Fsync(fd) != 0) {
        error = LastError();
    }
    if (error && regular) {
        PutBack(fd, old);
        if (access == Access::Private) {
            sys.Fchmod(fd, status.st_mode & 07777);
        }
    }
    if (sys.Close(fd) != 0 && !error) {
        error = LastError();
    }
    return error;
}

bool SameFile(const struct stat& a, const std::string& other) {
    struct stat b {};
    return !other.empty() && System::Current().Stat(other.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

// Writes to one of the process's own descriptors where it points, appending
// when it was opened to append, as the shell set it up.
std::error_code WriteToDescriptor(int fd, std::string_view bytes, const std::string& notSameAs) {
    struct stat status {};
    if (System::Current().Fstat(fd, &status) != 0) {
        return LastError();
    }
    if (SameFile(status, notSameAs)) {
        return FileError::SameAsTable;
    }
    if (S_ISDIR(status.st_mode)) {
        return std::make_error_code(std::errc::is_a_directory);
    }
    return WriteAll(fd, bytes);
}

// Whether new files may be made beside `target`; where not, a file the user
// may write is written in place, as a copy over it would.
bool FolderTakesNewFiles(const fs::path& target) {
    return System::Current().Access(FolderOf(target).c_str(), W_OK | X_OK) == 0;
}

// Gives a file its final name unless that name is taken (by anything, a
// planted link included); errno EEXIST then.
bool PlaceNew(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return false;
    }
    // A file system without the no-replace rename: a hard link refuses a taken name as well.
    if (::link(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    System::Current().Unlink(from.c_str());
    return true;
}

} // namespace

std::error_code CreateNewFiles(const std::string& folder,
                               const std::vector<std::pair<std::string, std::string_view>>& named,
                               Access access) {
    System& sys = System::Current();
    struct Aside {
        std::string temp, final;
        LiveTemp* live = nullptr;
        bool placed = false;
    };
    std::vector<Aside> aside;
    std::error_code error;
    for (const auto& [name, bytes] : named) {
        const fs::path target = fs::path(folder) / name;
        RemoveStaleTemps(target);
        Aside file{{}, target.string()};
        const int fd = CreateTemp(target, file.temp, access == Access::Private ? 0600 : 0666);
        if (fd < 0) {
            error = LastError();
            break;
        }
        file.live = Remember(file.temp);
        aside.push_back(file);
        error = WriteAll(fd, bytes);
        if (!error && sys.Fsync(fd) != 0) {
            error = LastError();
        }
        if (sys.Close(fd) != 0 && !error) {
            error = LastError();
        }
        if (error) {
            break;
        }
    }
    for (std::size_t i = 0; !error && i < aside.size(); ++i) {
        if (!PlaceNew(aside[i].temp, aside[i].final)) {
            error = LastError();
            break;
        }
        aside[i].placed = true;
    }
    for (Aside& file : aside) {
        // Placed files of a failed call go back aside: they are ours, and only the temporary names are
        // removed.
        if (error && file.placed && !PlaceNew(file.final, file.temp)) {
            continue;
        }
        if (error) {
            sys.Unlink(file.temp.c_str());
        }
        Forget(file.live);
    }
    if (!error) {
        error = SyncFolder(fs::path(folder) / "x");
    }
    return error;
}

std::error_code WriteFile(const std::string& name, std::string_view bytes, Target target,
                          const std::string& notSameAs, Access access) {
    if (name.empty()) {
        return FileError::EmptyName;
    }
    if (name.back() == '/') {
        return std::make_error_code(std::errc::is_a_directory);
    }
    if (name == "-") {
        if (target != Target::Output) {
            return FileError::NotRegular;
        }
        return WriteToDescriptor(STDOUT_FILENO, bytes, notSameAs);
    }
    System& sys = System::Current();
    bool throughProc = false;
    int descriptor = -1;
    const fs::path resolved = FollowLinks(name, throughProc, descriptor);
    if (descriptor >= 0 && target == Target::Output) {
        return WriteToDescriptor(descriptor, bytes, notSameAs);
    }
    struct stat status {};
    if (sys.Stat(name.c_str(), &status) != 0) {
        if (errno != ENOENT) {
            return LastError();
        }
        // A new file, or one a dangling link names; the table's link may
        // name a drive not mounted, and the table is not made anew elsewhere.
        struct stat link {};
        if (target == Target::TableFile && sys.Lstat(name.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
            return FileError::DanglingLink;
        }
        return ReplaceAtomically(resolved, bytes, nullptr, access);
    }
    if (S_ISDIR(status.st_mode)) {
        return std::make_error_code(std::errc::is_a_directory);
    }
    if (SameFile(status, notSameAs)) {
        return FileError::SameAsTable;
    }
    if (S_ISREG(status.st_mode)) {
        if (const std::error_code refused = MayWrite(name, status)) {
            return refused;
        }
        if (throughProc || status.st_nlink > 1 || !FolderTakesNewFiles(resolved)) {
            return WriteInPlace(name, bytes, true, access);
        }
        return ReplaceAtomically(resolved, bytes, &status, access);
    }
    if (target == Target::Output && (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode))) {
        return WriteInPlace(name, bytes, false);
    }
    return FileError::NotRegular;
}

std::error_code CreateFolder(const std::string& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    return error;
}

std::error_code RemoveTableFile(const std::string& name) {
    System& sys = System::Current();
    struct stat status {};
    if (sys.Lstat(name.c_str(), &status) != 0) {
        return errno == ENOENT ? std::error_code() : LastError();
    }
    if (!S_ISREG(status.st_mode) && !S_ISLNK(status.st_mode)) {
        return S_ISDIR(status.st_mode) ? std::make_error_code(std::errc::is_a_directory)
                                       : make_error_code(FileError::NotRegular);
    }
    // A write-protected table is kept, as rm asks before it removes one; so
    // is a link whose table cannot be reached (a drive not mounted). A link
    // is removed, never the file it names.
    struct stat named {};
    if (sys.Stat(name.c_str(), &named) != 0) {
        return errno == ENOENT ? make_error_code(FileError::DanglingLink) : LastError();
    }
    if (!S_ISREG(named.st_mode)) {
        return make_error_code(FileError::NotRegular);
    }
    if (const std::error_code refused = MayWrite(name, named)) {
        return refused;
    }
    if (sys.Unlink(name.c_str()) != 0) {
        return LastError();
    }
    return {};
}

void RemoveTempFilesOnSignal() {
    std::signal(SIGXFSZ, SIG_IGN);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM}) {
        struct sigaction action {};
        if (::sigaction(signal, nullptr, &action) != 0 || action.sa_handler == SIG_IGN) {
            continue;
        }
        action = {};
        action.sa_handler = RemoveLiveTemps;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

} // namespace files
