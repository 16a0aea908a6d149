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
#include <sys/file.h>
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
enum class Call { None, Open, Write, Fchmod, Flock, Fsync, Rename, Read, Fstat };

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
        return (flags & O_CREAT) != 0 && Fails(Call::Open) ? -1 : System::Open(path, flags, mode);
    }
    FAILING(Write, ssize_t, (int fd, const void* b, std::size_t n), (fd, b, n))
    FAILING(Fchmod, int, (int fd, mode_t mode), (fd, mode))
    FAILING(Flock, int, (int fd, int op), (fd, op))
    FAILING(Fsync, int, (int fd), (fd))
    FAILING(Rename, int, (const char* from, const char* to), (from, to))
    FAILING(Read, ssize_t, (int fd, void* b, std::size_t n), (fd, b, n))
    FAILING(Fstat, int, (int fd, struct stat* st), (fd, st))
};

const std::error_code kInjected(EIO, std::generic_category());

std::size_t OpenDescriptors() {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), {}));
}

TEST(FileWriter, EachKindOfPathIsWrittenInPlaceReplacedOrRefusedAndNothingElseChanges) {
    const PathRow rows[] = {
        {"new", {}, {}, "new"}, // missing
        {"regular", {}, {}, "regular"},
        {"readonly", files::FileError::ReadOnly, files::FileError::ReadOnly, ""},
        {"link", {}, {}, "folder/target"},        // link to a file
        {"dangling", {}, {}, "folder/new"},       // dangling link
        {"linked", {}, {}, "folder/second-name"}, // hard-linked file
        {"folder", kNotAFile, kNotAFile, ""},
        {"regular/", kNotAFile, kNotAFile, ""},                             // name ending in a slash
        {"", files::FileError::EmptyName, files::FileError::EmptyName, ""}, // empty name
        {"fifo", files::FileError::NoReader, kNotRegular, ""},              // FIFO nobody reads
        {"null", {}, kNotRegular, ""},                                      // device taking anything
        {"full", std::make_error_code(std::errc::no_space_on_device), kNotRegular, ""}, // full device
    };
    const mode_t umask = ::umask(002); // a new file follows it
    for (const auto& row : rows) {
        for (const auto target : {files::Target::Output, files::Target::TableFile}) {
            for (const Call call : {Call::None, Call::Open, Call::Flock, Call::Fchmod, Call::Write,
                                    Call::Fsync, Call::Rename}) {
                SCOPED_TRACE(std::string(row.path) + ", target " + std::to_string(static_cast<int>(target)) +
                             ", failing call " + std::to_string(static_cast<int>(call)));
                Scene scene;
                auto before = Snapshot(scene.dir.Path());
                const std::size_t descriptors = OpenDescriptors();
                FailingCall failing(call);
                const auto error = files::WriteFile(scene / row.path, "new bytes", target);
                const auto expected = target == files::Target::Output ? row.output : row.tableFile;
                EXPECT_EQ(error, failing.calls > 0 ? kInjected : expected) << error.message();
                EXPECT_EQ(OpenDescriptors(), descriptors);
                auto after = Snapshot(scene.dir.Path());
                if (!error && *row.written != '\0') {
                    EXPECT_EQ(ReadWhole(scene / row.written), "new bytes");
                    // A replaced file keeps its mode, a new one follows the umask.
                    EXPECT_EQ(std::stoul(after[row.written]),
                              before.count(row.written) ? std::stoul(before[row.written]) : S_IFREG | 0664u);
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

// A file reached through a descriptor (/dev/stdout redirected to it) is the
// shell's open file: written in place, never replaced under it.
TEST(FileWriter, ADescriptorsFileIsWrittenInPlace) {
    Scene scene;
    const int fd = ::open((scene / "regular").c_str(), O_RDONLY | O_CLOEXEC);
    auto expected = Snapshot(scene.dir.Path());
    expected["regular"].replace(expected["regular"].rfind(':') + 1, std::string::npos, "via fd");
    ASSERT_FALSE(files::WriteFile("/proc/self/fd/" + std::to_string(fd), "via fd", files::Target::Output));
    EXPECT_EQ(Snapshot(scene.dir.Path()), expected);
    ::close(fd);
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

// Killed in the middle of a write, the program takes its temporary file with it.
TEST(FileWriter, ASignalDuringAWriteRemovesTheTemporaryFile) {
    TempFolder dir;
    struct RaisingWrite : files::System {
        ssize_t Write(int, const void*, std::size_t) override { return ::raise(SIGTERM); }
    };
    const pid_t child = ::fork();
    if (child == 0) {
        files::RemoveTempFilesOnSignal();
        RaisingWrite raising;
        files::System::Replace(&raising);
        files::WriteFile((dir / "Q8.xj").string(), "x", files::Target::TableFile);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
    EXPECT_TRUE(dir.Names().empty());
}

TEST(FileReader, NeverWaitsOnWhatHasNoDataNeverTakesMoreThanItsLimitAndTellsWhenItOpened) {
    Scene scene;
    WriteWhole(scene.dir / "big", std::string(101, 'x'));
    const struct {
        const char* path;
        std::error_code regular; // read as the table file
        std::error_code text;    // read as text the user named
        const char* bytes;
    } rows[] = {
        {"regular", {}, {}, "old"},
        {"missing", kMissing, kMissing, ""},                                 // missing
        {"big", files::FileError::TooLarge, files::FileError::TooLarge, ""}, // past the limit
        {"folder", kNotAFile, kNotAFile, ""},
        {"fifo", kNotRegular, {}, ""},                                      // FIFO with no writer
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
            const auto regularError = files::ReadRegularFile(scene / row.path, 100, regular, &opened);
            // Opened is told from failed before: a failure after opening, or a file too large.
            EXPECT_EQ(opened, failing.calls > 0 || !row.regular || row.regular == files::FileError::TooLarge);
            EXPECT_EQ(regularError, failing.calls > 0 ? kInjected : row.regular);
            failing.calls = 0;
            const auto textError = files::ReadText(scene / row.path, 100, text);
            EXPECT_EQ(textError, failing.calls > 0 ? kInjected : row.text);
            EXPECT_EQ(regular, regularError ? "" : row.bytes);
            EXPECT_EQ(text, textError ? "" : row.bytes);
            EXPECT_EQ(OpenDescriptors(), descriptors);
        }
    }
}

} // namespace
