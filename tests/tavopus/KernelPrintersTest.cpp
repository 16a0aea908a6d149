// The kernel backend against a fake sysfs tree and a pseudo-terminal standing
// in for the printer node.
#include "tavopus/tavopus.h"
#include "tavopus/TavopusTesting.h"
#include "files/System.h"

#include "support/TempFolder.h"

#include <fcntl.h>
#include <fnmatch.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <numeric>
#include <regex>
#include <sstream>

namespace fs = std::filesystem;
namespace hooks = tavopus::testing;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Reply = std::tuple<bool, std::uint32_t, Bytes>; // success, count, buffer

constexpr const char* kOrbek = "MFG:ORBEK;MDL:MP-100;CMD:ESC;";
const std::string kLong(300, 'M');

// The real system calls but for those a test overrides, in place while it lives.
struct Hooked : files::System {
    Hooked() { Replace(this); }
    ~Hooked() override { Replace(nullptr); }
};

// Whether the udev rule gives access to a device with this id: one rule
// matches when every == pattern and no != pattern of ATTRS{ieee1284_id}
// matches, each pattern a glob with | between alternatives, compared with
// the trailing white space removed as udev does.
bool RuleGivesAccess(std::string id) {
    id = id.substr(0, id.find('\0'));
    id.erase(id.find_last_not_of(" \t\n\r") + 1);
    std::stringstream lines(std::regex_replace(ReadWhole(UDEV_RULE_FILE), std::regex("\\\\\n"), ""));
    const std::regex key(R"re(ATTRS\{ieee1284_id\}(==|!=)"([^"]*)")re");
    const auto anyMatches = [&](std::stringstream alternatives) {
        for (std::string glob; std::getline(alternatives, glob, '|');)
            if (fnmatch(glob.c_str(), id.c_str(), 0) == 0)
                return true;
        return false;
    };
    bool anyRule = false, access = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#' || line.find("ieee1284_id") == std::string::npos)
            continue;
        bool matches = anyRule = true;
        for (std::sregex_iterator it(line.begin(), line.end(), key), end; it != end; ++it)
            matches = matches && anyMatches(std::stringstream((*it)[2])) == ((*it)[1] == "==");
        access = access || matches;
    }
    EXPECT_TRUE(anyRule) << "no rule in " << UDEV_RULE_FILE;
    return access;
}

// A raw pseudo-terminal: the library opens the slave side through the node
// link, the test plays the printer on the master side.
struct StandInNode {
    StandInNode() {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        grantpt(master);
        unlockpt(master);
        path = ptsname(master);
        slave = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios mode{};
        tcgetattr(slave, &mode);
        cfmakeraw(&mode);
        tcsetattr(slave, TCSANOW, &mode);
    }
    ~StandInNode() {
        Unplug();
        ::close(slave);
    }
    // The library's side then fails with EIO, as a pulled-out printer's node does.
    void Unplug() { ::close(std::exchange(master, -1)); }
    int master = -1, slave = -1;
    std::string path;
};

class KernelPrinters : public testing::Test {
protected:
    void SetUp() override {
        unsetenv("TAVOPUS_VIRTUAL");
        fs::create_directories(root_ / "dev/usb");
        hooks::Reset();
        hooks::SetRoots((root_ / "sys").string(), (root_ / "dev").string());
        hooks::SetTimeouts(100, 300);
    }
    void TearDown() override { hooks::Reset(); }

    fs::path SysfsEntry(int n) const { return root_ / "sys/class/usbmisc" / ("lp" + std::to_string(n)); }
    // A printer with this id at number n, its node a link to `target`.
    void AddPrinter(int n, const std::string& id, const std::string& target) {
        fs::create_directories(SysfsEntry(n) / "device");
        std::ofstream(SysfsEntry(n) / "device/ieee1284_id") << id;
        std::error_code kept; // a node already there stays
        fs::create_symlink(target, root_ / "dev/usb" / ("lp" + std::to_string(n)), kept);
    }
    // Plugs the label printer in at number 0 and opens a link to it.
    std::uint32_t Open() {
        AddPrinter(0, kOrbek, node_.path);
        std::uint32_t handle = 0;
        EXPECT_EQ(TavopStartDevice(&handle, 0), 0u);
        EXPECT_NE(handle, 0u);
        return handle;
    }
    // Reads into a spoiled buffer of `size` bytes.
    static Reply Read(std::uint32_t handle, std::uint32_t size) {
        Bytes buffer(size, 0xAA);
        const bool ok = TavopUsbRead(handle, buffer.data(), &size) == 0;
        return {ok, size, buffer};
    }

    TempFolder temp_{"tavopus-kernel"};
    const fs::path& root_ = temp_.Path();
    StandInNode node_;
};

// The lowest number of a label printer answers, with its name, and only
// answering ones open; the user may open exactly those (the kernel never shows
// an id over 1 KiB, which the rule cannot see). One number past each end is asked too.
TEST_F(KernelPrinters, ScanFindsTheLabelPrinterByItsIdAlone) {
    const struct {
        const char* name;
        std::map<int, std::string> ids;
        int found;
        std::string printer;
    } rows[] = {
        {"no printer", {}, -1, ""},
        {"office printer", {{0, "MFG:HP;MDL:LaserJet;"}, {1, kOrbek}}, 1, "ORBEK MP-100"},
        {"lowest number", {{9, "MFG:ORBEK;MDL:B;"}, {2, "MFG:ORBEK;MDL:A;"}}, 2, "ORBEK A"},
        {"outside the range", {{-1, kOrbek}, {127, kOrbek}}, -1, ""},
        {"last number", {{126, "MANUFACTURER:ORBEK;MODEL:MP-100;"}}, 126, "ORBEK MP-100"},
        {"maker last", {{0, "MDL:MP;MFG:ORBEK"}}, 0, "ORBEK MP"},
        {"kernel newline", {{0, "MFG:ORBEK;MDL:MP;\n"}}, 0, "ORBEK MP"},
        {"lower-case key", {{0, "mfg:ORBEK;MDL:MP;"}}, -1, ""},
        {"maker in other case", {{0, "MFG:Orbek;MDL:MP;"}}, -1, ""},
        {"space around the value", {{0, "MFG: ORBEK ;MDL:MP;"}}, -1, ""},
        {"empty maker then ORBEK", {{0, "MFG:;MFG:ORBEK;"}}, -1, ""},
        {"maker named twice", {{0, "MFG:ORBEK;MANUFACTURER:ORBEK;"}}, -1, ""},
        {"maker only starts alike", {{0, "MFG:ORBEKSON;MDL:MP;"}}, -1, ""},
        {"maker value goes on", {{0, "MFG:ORBEK:X;MDL:MP;"}}, -1, ""},
        {"model names the maker", {{0, "MFG:ACME;MDL:ORBEK;"}}, -1, ""},
        {"maker after an empty field", {{0, "DES:X;MFG:ORBEK;;MFG:ACME;"}}, -1, ""},
        {"first maker counts", {{0, "MFG:ACME;MANUFACTURER:ORBEK;"}}, -1, ""},
        {"maker after a NUL", {{0, std::string("MDL:MP;\0MFG:ORBEK;", 19)}}, -1, ""},
        {"id of 1 KiB", {{0, "MFG:ORBEK;MDL:MP;CMD:" + std::string(1024 - 21, 'X')}}, 0, "ORBEK MP"},
        {"id over 1 KiB", {{0, "MFG:ORBEK;MDL:MP;CMD:" + std::string(1025 - 21, 'X')}}, -1, ""},
        {"long name cut", {{0, "MFG:ORBEK;MDL:" + kLong}}, 0, "ORBEK " + kLong.substr(51)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove_all(root_ / "sys");
        for (const auto& [n, id] : row.ids)
            AddPrinter(n, id, node_.path);
        int found = -1;
        std::array<char, 256> name{};
        for (int n = 127; n >= -1; --n)
            found = TavopCheckActiveDevice(n, name.data()) == 0 ? n : found;
        EXPECT_EQ(found, row.found);
        EXPECT_EQ(std::string(name.data()), row.printer);
        for (std::uint32_t handle = 0; const auto& [n, id] : row.ids) {
            const bool answers = TavopCheckActiveDevice(n, name.data()) == 0;
            EXPECT_EQ(TavopStartDevice(&handle, n) == 0, answers) << n;
            TavopEndDevice(handle);
            if (n >= 0 && n <= 126 && id.size() <= 1024) {
                EXPECT_EQ(RuleGivesAccess(id), answers) << n;
            }
        }
    }
}

// Writes go on over pieces, interruptions and "try again", and end the link
// when they time out: a printer that took nothing within the write wait
// counts as gone; one that took everything in the end still works.
TEST_F(KernelPrinters, WritesGoOnOverPiecesAndEndTheLinkWhenTheyTimeOut) {
    const struct {
        const char* name;
        std::vector<ssize_t> plan; // per write call the bytes let through, or -errno; the last repeats
        bool went;
    } rows[] = {
        {"short pieces", {7}, true},
        {"interrupted", {20, -EINTR, -EINTR, 64}, true},
        {"would block", {10, -EAGAIN, 0, 64}, true},
        {"never gets through", {-EAGAIN}, false},
        {"stops halfway", {32, -EAGAIN}, false},
        {"device vanishes", {10, -ENODEV}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto handle = Open();
        struct : Hooked {
            std::vector<ssize_t> plan;
            std::size_t call = 0;
            Bytes taken;
            ssize_t Write(int, const void* bytes, size_t count) override {
                const auto step = plan[std::min(call++, plan.size() - 1)];
                if (step < 0)
                    return errno = static_cast<int>(-step), -1;
                const auto* from = static_cast<const std::uint8_t*>(bytes);
                taken.insert(taken.end(), from, from + std::min(count, static_cast<size_t>(step)));
                return std::min(static_cast<ssize_t>(count), step);
            }
        } sys;
        sys.plan = row.plan;
        Bytes sent(64);
        std::iota(sent.begin(), sent.end(), std::uint8_t{1});
        EXPECT_EQ(TavopUsbWrite(handle, sent.data(), 64) == 0, row.went);
        EXPECT_EQ(sys.taken == sent, row.went);
        files::System::Replace(nullptr);
        EXPECT_EQ(TavopUsbWrite(handle, "\x05", 1) == 0, row.went);
        EXPECT_EQ(TavopCheckMyDevice(handle, TAVOP_NODE_WORD(0)) == 0, !row.went);
        TavopEndDevice(handle);
    }
}

// While writes keep saying "try again", a device reporting an error is
// tried again after pauses, one hung up or closed not at all.
TEST_F(KernelPrinters, WriteWaitsDoNotSpinWhileTheDeviceReportsTrouble) {
    for (const auto& [report, most] :
         {std::pair<short, int>{POLLERR, 300 / 50 + 2}, {POLLHUP, 1}, {POLLNVAL, 1}}) {
        SCOPED_TRACE(report);
        const auto handle = Open();
        struct : Hooked {
            short report = 0;
            int writes = 0, nodePolls = 0, pauses = 0;
            ssize_t Write(int, const void*, size_t) override { return ++writes, errno = EAGAIN, -1; }
            int Poll(pollfd* fds, nfds_t count, int timeoutMs) override {
                if (count == 0) // a plain pause
                    return ++pauses, System::Poll(fds, count, timeoutMs);
                return ++nodePolls, fds[0].revents = report, 1;
            }
        } sys;
        sys.report = report;
        EXPECT_NE(TavopUsbWrite(handle, "\x1B\x49", 2), 0u);
        EXPECT_TRUE(sys.writes >= 1 && sys.writes <= most && sys.nodePolls <= sys.writes &&
                    sys.pauses <= sys.writes)
            << sys.writes;
        EXPECT_EQ(TavopCheckMyDevice(handle, TAVOP_NODE_WORD(0)), 0u);
    }
}

// A printer that never answers costs one reply window per write, not one
// per read: the reads after the window only take what is there, and leave
// zeros where nothing came. A silent printer is not a lost one.
TEST_F(KernelPrinters, ReadsWaitOnlyWithinTheReplyWindowAfterAWrite) {
    hooks::SetTimeouts(60, 300);
    const auto handle = Open();
    struct : Hooked {
        std::vector<int> waits;
        int interrupted = 0; // reads still to fail with EINTR
        int Poll(pollfd* fds, nfds_t count, int timeoutMs) override {
            if (count == 1 && (fds[0].events & POLLIN))
                waits.push_back(timeoutMs);
            return System::Poll(fds, count, timeoutMs);
        }
        ssize_t Read(int fd, void* to, size_t n) override {
            return interrupted-- > 0 ? (errno = EINTR, -1) : System::Read(fd, to, n);
        }
    } sys;
    auto& waits = sys.waits;
    EXPECT_EQ(Read(handle, 4), (Reply{false, 0, Bytes(4, 0)}));
    ASSERT_EQ(TavopUsbWrite(handle, "\x1B\x42", 2), 0u);
    for (int read = 0; read < 5; ++read)
        EXPECT_FALSE(std::get<0>(Read(handle, 1)));
    ASSERT_EQ(waits.size(), 6u);
    EXPECT_EQ(waits[0], 0) << "no write yet";
    EXPECT_TRUE(waits[1] > 0 && waits[1] <= 60);
    EXPECT_EQ(std::count(waits.begin() + 2, waits.end(), 0), 4);
    // A reply within the window ends the wait, an interrupted read is asked again.
    ASSERT_EQ(TavopUsbWrite(handle, "\x1B\x42", 2), 0u);
    ASSERT_EQ(::write(node_.master, "\x06\x0A", 2), 2);
    sys.interrupted = 1;
    EXPECT_EQ(Read(handle, 4), (Reply{true, 2, {0x06, 0x0A, 0, 0}}));
}

TEST_F(KernelPrinters, UnusableHandlesFailWithoutTouchingAnyDevice) {
    const auto ended = Open();
    TavopEndDevice(ended);
    const auto goneInWrite = Open(), goneInRead = Open();
    {
        struct : Hooked {
            StandInNode* node = nullptr;
            int writes = 0;
            ssize_t Write(int fd, const void* bytes, size_t n) override {
                if (++writes == 2)
                    node->Unplug();
                return System::Write(fd, bytes, std::min<size_t>(n, 16));
            }
        } unplugging;
        unplugging.node = &node_;
        EXPECT_NE(TavopUsbWrite(goneInWrite, Bytes(64).data(), 64), 0u);
        EXPECT_EQ(unplugging.writes, 2);
    }
    EXPECT_FALSE(std::get<0>(Read(goneInRead, 1)));
    struct : Hooked {
        int calls = 0;
        int Open(const char*, int, mode_t) override { return ++calls, -1; }
        ssize_t Read(int, void*, size_t) override { return ++calls, -1; }
        ssize_t Write(int, const void*, size_t) override { return ++calls, -1; }
        int Poll(pollfd*, nfds_t, int) override { return ++calls, -1; }
        int Close(int) override { return ++calls, -1; }
    } sys;
    for (const std::uint32_t handle : {0u, goneInRead + 1000, ended, goneInWrite, goneInRead}) {
        SCOPED_TRACE(handle);
        EXPECT_NE(TavopUsbWrite(handle, "\x1B\x42", 2), 0u);
        EXPECT_EQ(Read(handle, 8), (Reply{false, 0, Bytes(8, 0)}));
        // A removal notice is about a link only while the link is open and its device gone.
        const bool gone = handle == goneInWrite || handle == goneInRead;
        EXPECT_EQ(TavopCheckMyDevice(handle, TAVOP_NODE_WORD(0)) == 0, gone);
        TavopEndDevice(handle);
    }
    std::uint32_t one = 1;
    EXPECT_NE(TavopUsbRead(goneInRead, nullptr, &one), 0u);
    EXPECT_EQ(sys.calls, 0);
}

TEST_F(KernelPrinters, OpenFailuresAreToldOnceInWordsTheUserCanActOn) {
    AddPrinter(0, kOrbek, node_.path);
    struct : Hooked {
        int error = 0;
        int Open(const char*, int, mode_t) override { return errno = error, -1; }
    } sys;
    testing::internal::CaptureStderr();
    for (std::uint32_t handle = 0; const int e : {EACCES, EACCES, EBUSY, EBUSY, ENOENT}) {
        sys.error = e;
        EXPECT_NE(TavopStartDevice(&handle, 0), 0u);
    }
    const auto told = testing::internal::GetCapturedStderr();
    const auto node = (root_ / "dev/usb/lp0").string();
    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 2) << told;
    EXPECT_NE(told.find(node + " をこのユーザーは開けません"), std::string::npos) << told;
    EXPECT_NE(told.find(node + " は別のプログラム"), std::string::npos) << told;
}

// Removal notices, in turn: a notice is about the link only when its word
// names the link's node and that device is really gone.
TEST_F(KernelPrinters, RemovalNoticesAreMineOnlyForTheLinkedDeviceReallyGone) {
    std::uint32_t handle = Open();
    EXPECT_NE(TavopCheckMyDevice(handle, TAVOP_NODE_WORD(0)), 0u);
    // Plugged in again before the notice comes: the node answers but sysfs has a new entry.
    fs::rename(SysfsEntry(0), root_ / "old-lp0");
    AddPrinter(0, kOrbek, node_.path);
    EXPECT_EQ(TavopCheckMyDevice(handle, TAVOP_NODE_WORD(0)), 0u);
    // The stale notice must spare a fresh link to the new device.
    TavopEndDevice(std::exchange(handle, Open()));
    EXPECT_NE(TavopCheckMyDevice(handle, TAVOP_NODE_WORD(0)), 0u);
    // Gone: the notice must still name our node.
    node_.Unplug();
    fs::remove_all(root_ / "sys");
    EXPECT_NE(TavopCheckMyDevice(handle, TAVOP_NODE_WORD(1)), 0u);
    EXPECT_EQ(TavopCheckMyDevice(handle, TAVOP_NODE_WORD(0)), 0u);
}

} // namespace
