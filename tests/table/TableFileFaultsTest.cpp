// The table file against what the system can throw at it: failing system
// calls (through the file seam), links, modes and temporary files left by a
// killed save.
#include "table/TableFile.h"
#include "table/TableFileSystem.h"

#include "support/NamedCases.h"
#include "support/Sjis.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

enum class Call { Open, Fstat, Read, Write, Fchmod, Flock, Fsync, Rename };

// Fails every call of one kind with one errno; an Open fails only where it
// creates, so reading and the stale-file scan still work.
class FailingCall : public TableFileSystem {
public:
    FailingCall(Call call, int error)
        : m_call(call)
        , m_error(error) {
        Replace(this);
    }
    ~FailingCall() override { Replace(nullptr); }
    FailingCall(const FailingCall&) = delete;
    FailingCall& operator=(const FailingCall&) = delete;

    int Open(const char* path, int flags, mode_t mode) override {
        return Fails(Call::Open) && (flags & O_CREAT) != 0 ? Fail()
                                                           : TableFileSystem::Open(path, flags, mode);
    }
    int Fstat(int fd, struct stat* status) override {
        return Fails(Call::Fstat) ? Fail() : TableFileSystem::Fstat(fd, status);
    }
    ssize_t Read(int fd, void* buffer, std::size_t size) override {
        return Fails(Call::Read) ? Fail() : TableFileSystem::Read(fd, buffer, size);
    }
    ssize_t Write(int fd, const void* buffer, std::size_t size) override {
        return Fails(Call::Write) ? Fail() : TableFileSystem::Write(fd, buffer, size);
    }
    int Fchmod(int fd, mode_t mode) override {
        return Fails(Call::Fchmod) ? Fail() : TableFileSystem::Fchmod(fd, mode);
    }
    int Flock(int fd, int operation) override {
        return Fails(Call::Flock) ? Fail() : TableFileSystem::Flock(fd, operation);
    }
    int Fsync(int fd) override { return Fails(Call::Fsync) ? Fail() : TableFileSystem::Fsync(fd); }
    int Rename(const char* from, const char* to) override {
        return Fails(Call::Rename) ? Fail() : TableFileSystem::Rename(from, to);
    }

    int calls = 0; // of the failing kind

private:
    bool Fails(Call call) {
        if (call != m_call) {
            return false;
        }
        ++calls;
        return true;
    }
    int Fail() const {
        errno = m_error;
        return -1;
    }
    Call m_call;
    int m_error;
};

class TableFileFaults : public testing::Test {
protected:
    void SetUp() override { small.letters.SetAt(Sjis("ア"), "a"); }
    static mode_t ModeOf(const fs::path& path) {
        struct stat status {};
        EXPECT_EQ(::lstat(path.c_str(), &status), 0);
        return status.st_mode & 07777;
    }

    TempFolder dir{"q8xj-faults"};
    const fs::path file = dir / kTableFileName;
    ConversionTable small; // ア -> a only, unlike the defaults
};

struct ReadFault {
    const char* name;
    Call call;
    int error;
    friend void PrintTo(const ReadFault& row, std::ostream* os) { *os << row.name; }
};

class TableFileReadFault : public TableFileFaults, public testing::WithParamInterface<ReadFault> {};

// Reported like a damaged file: no entry, not the defaults, so the caller
// tells the user and the next save does not silently overwrite the file.
TEST_P(TableFileReadFault, IsReportedLikeADamagedFile) {
    const auto& c = GetParam();
    WriteWhole(file, SerializeConversionTable(small));
    ConversionTable t;
    FailingCall failing(c.call, c.error);
    const LoadResult result = LoadConversionTable(t, file);
    EXPECT_GT(failing.calls, 0);
    EXPECT_EQ(result.source, LoadResult::Source::Failed);
    EXPECT_EQ(result.error, TableReadError::ReadFailed);
    EXPECT_EQ(t.GetCount(), 0u);
    EXPECT_FALSE(DescribeTableReadError(result.error).empty());
}

INSTANTIATE_TEST_SUITE_P(AfterOpening, TableFileReadFault,
                         testing::Values(ReadFault{"ReadGivesEio", Call::Read, EIO},
                                         ReadFault{"ReadGivesEisdir", Call::Read, EISDIR},
                                         ReadFault{"FstatGivesEoverflow", Call::Fstat, EOVERFLOW}),
                         named_cases::CaseName());

struct ModeCase {
    const char* name;
    mode_t mode;
    friend void PrintTo(const ModeCase& row, std::ostream* os) { *os << row.name; }
};

class TableFileMode : public TableFileFaults, public testing::WithParamInterface<ModeCase> {};

// The longer old file is replaced whole, and no temporary file stays.
TEST_P(TableFileMode, ASaveKeepsTheOldFilesMode) {
    WriteWhole(file, std::string(5000, 'x'));
    ASSERT_EQ(::chmod(file.c_str(), GetParam().mode), 0);
    ASSERT_FALSE(SaveConversionTable(small, file));
    EXPECT_EQ(ModeOf(file), GetParam().mode);
    EXPECT_EQ(ReadWhole(file), SerializeConversionTable(small));
    EXPECT_EQ(dir.Names(), std::vector<std::string>{kTableFileName});
}

INSTANTIATE_TEST_SUITE_P(Modes, TableFileMode,
                         testing::Values(ModeCase{"OwnerOnly", 0600}, ModeCase{"GroupReads", 0640},
                                         ModeCase{"OthersReadOnly", 0604}, ModeCase{"ReadOnly", 0400},
                                         ModeCase{"GroupWrites", 0664}),
                         named_cases::CaseName());

TEST_F(TableFileFaults, ANewFileFollowsTheUmaskWhichStaysAsItWas) {
    const mode_t before = ::umask(027);
    const auto error = SaveConversionTable(small, file);
    const mode_t during = ::umask(before);
    ASSERT_FALSE(error);
    EXPECT_EQ(during, 027u);
    EXPECT_EQ(ModeOf(file), 0640u);
}

struct LinkCase {
    const char* name;
    const char* linkText; // what Q8.xj points at, relative to the folder
    const char* target;   // the regular file that gets the table
    bool targetExists;
    friend void PrintTo(const LinkCase& row, std::ostream* os) { *os << row.name; }
};

class TableFileLink : public TableFileFaults, public testing::WithParamInterface<LinkCase> {};

TEST_P(TableFileLink, ASaveReplacesTheTargetAndKeepsTheLink) {
    const auto& c = GetParam();
    fs::create_directories(dir / "tables");
    fs::create_symlink(dir / "tables" / "second", dir / "tables" / "first");
    if (c.targetExists) {
        WriteWhole(dir / c.target, "old");
        ASSERT_EQ(::chmod((dir / c.target).c_str(), 0600), 0);
    }
    fs::create_symlink(c.linkText, file);
    ASSERT_FALSE(SaveConversionTable(small, file));
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(fs::read_symlink(file), c.linkText);
    EXPECT_EQ(ReadWhole(dir / c.target), SerializeConversionTable(small));
    if (c.targetExists) {
        EXPECT_EQ(ModeOf(dir / c.target), 0600u);
    }
    // No temporary file beside the link or the target.
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{kTableFileName, "tables"}));
}

INSTANTIATE_TEST_SUITE_P(
    Links, TableFileLink,
    testing::Values(LinkCase{"ToAFileInASubfolder", "tables/real.xj", "tables/real.xj", true},
                    LinkCase{"ThroughAChainOfLinks", "tables/first", "tables/second", true},
                    LinkCase{"DanglingCreatesTheTarget", "tables/new.xj", "tables/new.xj", false}),
    named_cases::CaseName());

struct SaveFault {
    const char* name;
    Call call;
    int error;
    friend void PrintTo(const SaveFault& row, std::ostream* os) { *os << row.name; }
};

class TableFileSaveFault : public TableFileFaults, public testing::WithParamInterface<SaveFault> {};

TEST_P(TableFileSaveFault, ReportsTheCauseKeepsTheOldFileAndLeavesNoTemporaryFile) {
    const auto& c = GetParam();
    const std::string old = SerializeConversionTable(ConversionTable{});
    WriteWhole(file, old);
    std::error_code error;
    {
        FailingCall failing(c.call, c.error);
        error = SaveConversionTable(small, file);
        EXPECT_GT(failing.calls, 0);
    }
    EXPECT_EQ(error, std::error_code(c.error, std::generic_category()));
    EXPECT_EQ(ReadWhole(file), old);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{kTableFileName});
}

INSTANTIATE_TEST_SUITE_P(EachStep, TableFileSaveFault,
                         testing::Values(SaveFault{"CreateRefused", Call::Open, EACCES},
                                         SaveFault{"LockFails", Call::Flock, ENOLCK},
                                         SaveFault{"ModeCannotBeSet", Call::Fchmod, EPERM},
                                         SaveFault{"DiskFull", Call::Write, ENOSPC},
                                         SaveFault{"WriteIoError", Call::Write, EIO},
                                         SaveFault{"SyncFails", Call::Fsync, EIO},
                                         SaveFault{"RenameFails", Call::Rename, EXDEV}),
                         named_cases::CaseName());

TEST_F(TableFileFaults, ASaveRemovesStaleTemporaryFilesOfItsOwnOnly) {
    WriteWhole(file, "old");
    for (const char* name :
         {"Q8.xj.AbC123", "Q8.xj.zzzzzz", "Q8.xj.held00", "Q8.xj.toolong", "Q8.xj.ab-123", "other.AbC123"}) {
        WriteWhole(dir / name, "left over");
    }
    fs::create_directory(dir / "Q8.xj.DiR123"); // a folder is not a file of ours
    // A temporary file that another save holds right now stays.
    const int held = ::open((dir / "Q8.xj.held00").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const auto error = SaveConversionTable(small, file);
    ::close(held);
    ASSERT_FALSE(error);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"Q8.xj", "Q8.xj.DiR123", "Q8.xj.ab-123", "Q8.xj.held00",
                                                     "Q8.xj.toolong", "other.AbC123"}));
}

} // namespace
