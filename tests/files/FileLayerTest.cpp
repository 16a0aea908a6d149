// The file layer's rules, each a property over a table of kinds of path, each
// also with every system call it makes failing in turn: what is written where,
// that a refusal or a failure leaves every file as it was, and that no
// descriptor is left open.
#include "files/FileError.h"
#include "files/FileReader.h"
#include "files/FileWriter.h"
#include "files/System.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <thread>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Everything in a folder tree a write could change: kind, bytes, mode, inode, link text.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> state;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        struct stat st {};
        ::lstat(entry.path().c_str(), &st);
        state[fs::relative(entry.path(), root).string()] =
            std::to_string(st.st_mode) + ":" + std::to_string(st.st_ino) + ":" +
            (S_ISLNK(st.st_mode)   ? fs::read_symlink(entry.path()).string()
             : S_ISREG(st.st_mode) ? ReadWhole(entry.path())
                                   : "");
    }
    return state;
}

// A folder holding one of each kind of path, all named in the rows below.
struct Scene {
    TempFolder dir{"q8xj-files"};
    Scene() {
        WriteWhole(dir / "regular", "old");
        ::chmod((dir / "regular").c_str(), 0600);
        WriteWhole(dir / "readonly", "old");
        ::chmod((dir / "readonly").c_str(), 0444);
        fs::create_directory(dir / "folder");
        WriteWhole(dir / "folder/target", "old");
        fs::create_symlink("folder/target", dir / "link");
        fs::create_symlink("folder/new", dir / "dangling");
        WriteWhole(dir / "linked", "old, longer than the new"); // the rewrite must cut it
        fs::create_hard_link(dir / "linked", dir / "folder/second-name");
        ::mkfifo((dir / "fifo").c_str(), 0600);
        // The table file being read, and other names for it.
        WriteWhole(dir / "table", "table");
        fs::create_symlink("table", dir / "table-link");
        fs::create_hard_link(dir / "table", dir / "folder/table-name");
        // Devices of its own, so that a faulty writer run as root cannot replace the system's;
        // others may only link to them, which the writer follows.
        for (const auto& [name, minor] : {std::pair{"null", 3}, {"full", 7}, {"zero", 5}}) {
            if (::mknod((dir / name).c_str(), S_IFCHR | 0666, makedev(1, minor)) != 0) {
                fs::create_symlink(std::string("/dev/") + name, dir / name);
            }
        }
    }
    std::string operator/(const std::string& name) const {
        return name.empty() || name[0] == '/' ? name : (dir / name).string();
    }
};

struct PathRow {
    const char* path;          // named for its kind
    std::error_code output;    // as an output the user named
    std::error_code tableFile; // as the table file
    const char* written;       // where the bytes land on success, "" for a device
};

const std::error_code kNotAFile = std::make_error_code(std::errc::is_a_directory);
const std::error_code kNotRegular = files::FileError::NotRegular;
const std::error_code kMissing = std::make_error_code(std::errc::no_such_file_or_directory);

// Fails every call of one kind with EIO; an Open fails only where it creates.
enum class Call { None, Open, Write, Fchmod, Flock, Fsync, Rename, Read, Fstat, Access };

// An override of System::K (result R, parameters P, arguments A) that fails when K is failing.
#define FAILING(K, R, P, A)                                                                                  \
    R K P override {                                                                                         \
        return Fails(Call::K) ? -1 : System::K A;                                                            \
    }

struct FailingCall : files::System {
    Call call;
    int calls = 0; // of the failing kind
    explicit FailingCall(Call c)
        : call(c) {
        Replace(this);
    }
    ~FailingCall() override { Replace(nullptr); }
    bool Fails(Call c) { return c == call && ((errno = EIO) != 0) && ++calls > 0; }

    int Open(const char* path, int flags, mode_t mode) override {
        const bool creates = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
        return creates && Fails(Call::Open) ? -1 : System::Open(path, flags, mode);
    }
    FAILING(Write, ssize_t, (int fd, const void* b, std::size_t n), (fd, b, n))
    FAILING(Fchmod, int, (int fd, mode_t mode), (fd, mode))
    FAILING(Flock, int, (int fd, int op), (fd, op))
    FAILING(Fsync, int, (int fd), (fd))
    FAILING(Rename, int, (const char* from, const char* to), (from, to))
    FAILING(Read, ssize_t, (int fd, void* b, std::size_t n), (fd, b, n))
    FAILING(Fstat, int, (int fd, struct stat* st), (fd, st))
    // A timed wait ends at once, as if its time had passed: nothing in these scenes comes later.
    int Poll(pollfd* fds, nfds_t count, int ms) override { return ms < 0 ? System::Poll(fds, count, ms) : 0; }
    FAILING(Access, int, (const char* path, int mode), (path, mode)) // told as itself, not as refused rights
};

const std::error_code kInjected(EIO, std::generic_category());

std::size_t OpenDescriptors() {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), {}));
}

// A name as long as a name may be: its temporary file's name must fit too.
const std::string kLongestName(250, 'n');

TEST(FileWriter, EachKindOfPathIsWrittenInPlaceReplacedOrRefusedAndNothingElseChanges) {
    const std::error_code kTable = files::FileError::SameAsTable;
    const PathRow rows[] = {
        {"new", {}, {}, "new"}, // missing
        {"regular", {}, {}, "regular"},
        {"readonly", files::FileError::ReadOnly, files::FileError::ReadOnly, ""},
        {"link", {}, {}, "folder/target"},        // link to a file
        {"dangling", {}, files::FileError::DanglingLink, "folder/new"}, // dangling link: no table made elsewhere
        {"linked", {}, {}, "folder/second-name"}, // hard-linked file
        {"folder", kNotAFile, kNotAFile, ""},
        {"regular/", kNotAFile, kNotAFile, ""},                             // name ending in a slash
        {"", files::FileError::EmptyName, files::FileError::EmptyName, ""}, // empty name
        {"fifo", files::FileError::NoReader, kNotRegular, ""},              // FIFO nobody reads
        {"null", {}, kNotRegular, ""},                                      // device taking anything
        {"full", std::make_error_code(std::errc::no_space_on_device), kNotRegular, ""}, // full device
        {"table", kTable, kTable, ""},                        // the table being read
        {"table-link", kTable, kTable, ""},                   // a link to it
        {"folder/table-name", kTable, kTable, ""},            // another hard link to it
        {kLongestName.c_str(), {}, {}, kLongestName.c_str()}, // a new file with a name of 250 bytes
    };
    const mode_t umask = ::umask(002); // a new file follows it
    for (const auto& row : rows) {
        // A label holds a password: a private new file is its owner's alone.
        for (const auto& [target, access] : {std::pair{files::Target::Output, files::Access::Shared},
                                             {files::Target::Output, files::Access::Private},
                                             {files::Target::TableFile, files::Access::Shared}}) {
            for (const Call call : {Call::None, Call::Open, Call::Flock, Call::Fchmod, Call::Write,
                                    Call::Fsync, Call::Rename, Call::Access}) {
                SCOPED_TRACE(testing::Message()
                             << row.path << ", target " << static_cast<int>(target) << ", access "
                             << static_cast<int>(access) << ", failing call " << static_cast<int>(call));
                Scene scene;
                auto before = Snapshot(scene.dir.Path());
                const std::size_t descriptors = OpenDescriptors();
                FailingCall failing(call);
                // Shorter than the old bytes where nothing fails, longer where a call may: both are cut.
                const std::string bytes = call == Call::None ? "new bytes" : "new bytes, longer than the old";
                const auto error = files::WriteFile(scene / row.path, bytes, target, scene / "table", access);
                const auto expected = target == files::Target::Output ? row.output : row.tableFile;
                EXPECT_EQ(error, failing.calls > 0 ? kInjected : expected) << error.message();
                EXPECT_EQ(OpenDescriptors(), descriptors);
                auto after = Snapshot(scene.dir.Path());
                if (!error && *row.written != '\0') {
                    EXPECT_EQ(ReadWhole(scene / row.written), bytes);
                    // A replaced file keeps its mode, a new one follows the umask;
                    // a secret is its owner's alone either way.
                    const unsigned long mode =
                        before.count(row.written) ? std::stoul(before[row.written]) : S_IFREG | 0664u;
                    EXPECT_EQ(std::stoul(after[row.written]),
                              access == files::Access::Private ? mode & ~077ul : mode);
                    // Every name but the written file's (and its other hard link's) stays as it was.
                    for (const std::string written : {row.written, row.path}) {
                        after.erase(written);
                        before.erase(written);
                    }
                }
                EXPECT_EQ(after, before);
            }
        }
    }
    ::umask(umask);
}

// A file reached through one of the process's descriptors ("-", /dev/stdout)
// is the shell's open file: written where the descriptor points, appending
// when it appends, never replaced under it, never when it is the table.
TEST(FileWriter, TheProcesssOwnDescriptorsAreWrittenWhereTheyPoint) {
    const struct {
        const char* name; // %d stands for the descriptor
        int flags;
        const char* file;
        const char* expected;
    } rows[] = {
        {"-", O_WRONLY | O_TRUNC, "regular", "new"},
        {"-", O_WRONLY | O_APPEND, "regular", "oldnew"},
        {"-", O_WRONLY | O_APPEND, "table", "table"}, // as `table export >> Q8.xj`
        {"/dev/stdout", O_WRONLY | O_APPEND, "regular", "oldnew"},
        {"/dev/stdout", O_WRONLY | O_APPEND, "table-link", "table"},
        {"/dev/fd/%d", O_WRONLY | O_APPEND, "regular", "oldnew"},
        {"/proc/self/fd/%d", O_WRONLY, "regular", "new"},
        {"/proc/self/fd/%d", O_RDONLY, "regular", "old"}, // a descriptor opened for reading
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " to " + row.file + ", flags " + std::to_string(row.flags));
        Scene scene;
        auto expected = Snapshot(scene.dir.Path());
        const std::string file = fs::canonical(scene / row.file).filename().string();
        expected[file].replace(expected[file].rfind(':') + 1, std::string::npos, row.expected);
        const int fd = ::open((scene / row.file).c_str(), row.flags | O_CLOEXEC);
        const bool standard = std::string(row.name).find("%d") == std::string::npos;
        const int saved = standard ? ::dup(STDOUT_FILENO) : -1;
        if (standard) {
            std::fflush(stdout);
            ::dup2(fd, STDOUT_FILENO);
        }
        std::string name = row.name;
        if (const auto at = name.find("%d"); at != std::string::npos) {
            name.replace(at, 2, std::to_string(fd));
        }
        const auto error = files::WriteFile(name, "new", files::Target::Output, scene / "table");
        if (standard) {
            ::dup2(saved, STDOUT_FILENO);
            ::close(saved);
        }
        ::close(fd);
        EXPECT_EQ(Snapshot(scene.dir.Path()), expected);
        EXPECT_EQ(!error, std::string(row.expected).ends_with("new")) << error.message();
    }
}

// Many processes saving one table at once: each save succeeds whole, the
// last one wins, and no temporary file is left.
TEST(FileWriter, ProcessesSavingOneTableAtOnceAllSucceed) {
    constexpr int kProcesses = 200;
    TempFolder dir;
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < kProcesses; ++i) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(start[1]);
            char go;
            ::read(start[0], &go, 1); // all start when the pipe closes
            const auto error = files::WriteFile((dir / "Q8.xj").string(), "saved by " + std::to_string(i),
                                                files::Target::TableFile);
            ::_exit(error ? 1 : 0);
        }
        children.push_back(child);
    }
    ::close(start[0]);
    ::close(start[1]);
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << child;
    }
    EXPECT_EQ(ReadWhole(dir / "Q8.xj").rfind("saved by ", 0), 0u);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"Q8.xj"});
}

TEST(FileWriter, DeletesOnlyItsOwnLeftoversThatNobodyHolds) {
    TempFolder dir;
    // Held, too short, too long, without the dot, another tag, not a random letter, another file's, the file.
    const std::vector<std::string> kept = {
        ".t.q8xj-tmp-held00", ".t.q8xj-tmp-abc",    ".t.q8xj-tmp-AbC1234", "xt.q8xj-tmp-AbC123",
        ".t.q8xj-tmq-AbC123", ".t.q8xj-tmp-AbC-23", ".o.q8xj-tmp-AbC123",  "t"};
    for (const auto& name : kept) {
        WriteWhole(dir / name, "keep");
    }
    fs::create_symlink("t", dir / ".t.q8xj-tmp-Link00");
    ::mkfifo((dir / ".t.q8xj-tmp-Fifo00").c_str(), 0600);
    const auto expected = dir.Names();
    WriteWhole(dir / ".t.q8xj-tmp-Stale1", "left by a killed write");
    const int held = ::open((dir / ".t.q8xj-tmp-held00").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const std::size_t descriptors = OpenDescriptors();
    ASSERT_FALSE(files::WriteFile((dir / "t").string(), "new", files::Target::TableFile));
    EXPECT_EQ(OpenDescriptors(), descriptors);
    ::close(held);
    EXPECT_EQ(dir.Names(), expected);
}

// A name as long as a name may be, or not UTF-8 at all, is rewritten like any other.
TEST(FileWriter, NamesOfAnyLengthAndBytesAreRewritten) {
    TempFolder dir;
    for (const std::string& name : {std::string(255, 'a'), std::string(40, '\x80')}) {
        for (const char* text : {"old", "new"})
            ASSERT_FALSE(files::WriteFile((dir / name).string(), text, files::Target::TableFile)) << text;
        EXPECT_EQ(ReadWhole(dir / name), "new");
    }
    EXPECT_EQ(dir.Names().size(), 2u); // no temporary file left
}

TEST(FileWriter, NewFilesAreCreatedAllOrNoneAndNeverOverAnything) {
    TempFolder dir;
    fs::create_symlink("/etc/passwd-would-be-overwritten", dir / "b");
    const auto before = Snapshot(dir.Path());
    const std::size_t descriptors = OpenDescriptors();
    EXPECT_EQ(files::CreateNewFiles(dir.Path().string(), {{"a", "1"}, {"b", "2"}}), std::errc::file_exists);
    EXPECT_EQ(Snapshot(dir.Path()), before);
    ASSERT_FALSE(files::CreateNewFiles(dir.Path().string(), {{"a", "1"}, {"c", "3"}}));
    EXPECT_EQ(OpenDescriptors(), descriptors);
    EXPECT_EQ(ReadWhole(dir / "a") + ReadWhole(dir / "c"), "13");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"a", "b", "c"}));
}

// Stopped by a signal in the middle of a write, the program takes its temporary
// file with it; past the file size limit (SIGXFSZ) the write fails with its reason.
TEST(FileWriter, ASignalDuringAWriteRemovesTheTemporaryFile) {
    struct RaisingWrite : files::System {
        int signal = 0;
        ssize_t Write(int fd, const void* b, std::size_t n) override {
            return signal == SIGXFSZ ? System::Write(fd, b, n) : ::raise(signal);
        }
    };
    for (const int signal : {SIGTERM, SIGUSR1, SIGALRM, SIGXFSZ}) {
        SCOPED_TRACE(::strsignal(signal));
        TempFolder dir;
        const pid_t child = ::fork();
        if (child == 0) {
            files::RemoveTempFilesOnSignal();
            const rlimit oneByte{1, 1};
            ::setrlimit(RLIMIT_FSIZE, &oneByte);
            RaisingWrite raising;
            raising.signal = signal;
            files::System::Replace(&raising);
            ::_exit(files::WriteFile((dir / "Q8.xj").string(), "xy", files::Target::TableFile) ==
                            std::errc::file_too_large
                        ? 0
                        : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(signal == SIGXFSZ ? WIFEXITED(status) && WEXITSTATUS(status) == 0
                                      : WIFSIGNALED(status) && WTERMSIG(status) == signal);
        EXPECT_TRUE(dir.Names().empty());
    }
}

// Text a user names is read from a FIFO to its end while a writer holds it open.
TEST(FileReader, TextFromAFifoIsReadWhileItsWriterHoldsIt) {
    Scene scene;
    const int writer = ::open((scene / "fifo").c_str(), O_RDWR | O_CLOEXEC); // opens without a reader
    ASSERT_EQ(::write(writer, "late", 4), 4);
    std::string text;
    std::thread reader([&] { EXPECT_FALSE(files::ReadText(scene / "fifo", 100, text)); });
    // The writer leaves once the reader has taken its bytes, which ends the text.
    for (int queued = 4; ::ioctl(writer, FIONREAD, &queued) == 0 && queued > 0;) {
        std::this_thread::yield();
    }
    ::close(writer);
    reader.join();
    EXPECT_EQ(text, "late");
}

TEST(FileReader, NeverWaitsOnWhatHasNoDataNeverTakesMoreThanItsLimitAndTellsWhenItOpened) {
    Scene scene;
    WriteWhole(scene.dir / "big", "four");
    const struct {
        const char* path;
        std::error_code regular; // read as the table file
        std::error_code text;    // read as text the user named
        const char* bytes;
    } rows[] = {
        {"regular", {}, {}, "old"}, // as long as the limit
        {"missing", kMissing, kMissing, ""},                                 // missing
        {"big", files::FileError::TooLarge, files::FileError::TooLarge, ""}, // past the limit
        {"folder", kNotAFile, kNotAFile, ""},
        {"fifo", kNotRegular, files::FileError::NoWriter, ""},              // FIFO with no writer
        {"null", kNotRegular, {}, ""},                                      // empty device
        {"zero", kNotRegular, files::FileError::TooLarge, ""},              // endless device
        {"", files::FileError::EmptyName, files::FileError::EmptyName, ""}, // empty name
    };
    for (const auto& row : rows) {
        for (const Call call : {Call::None, Call::Read, Call::Fstat}) {
            SCOPED_TRACE(std::string(row.path) + ", failing call " + std::to_string(static_cast<int>(call)));
            const std::size_t descriptors = OpenDescriptors();
            FailingCall failing(call);
            std::string regular, text;
            bool opened = false;
            const auto regularError = files::ReadRegularFile(scene / row.path, 3, regular, &opened);
            // Opened is told from failed before: a failure after opening, or a file too large.
            EXPECT_EQ(opened, failing.calls > 0 || !row.regular || row.regular == files::FileError::TooLarge);
            EXPECT_EQ(regularError, failing.calls > 0 ? kInjected : row.regular);
            failing.calls = 0;
            const auto textError = files::ReadText(scene / row.path, 3, text);
            EXPECT_EQ(textError, failing.calls > 0 ? kInjected : row.text);
            EXPECT_EQ(regular, regularError ? "" : row.bytes);
            EXPECT_EQ(text, textError ? "" : row.bytes);
            EXPECT_EQ(OpenDescriptors(), descriptors);
        }
    }
}

} // namespace
