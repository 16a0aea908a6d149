// The link library: its kernel backend against a fake sysfs tree and a
// pseudo-terminal standing in for the printer node, and its virtual printer
// with its replies, saved labels, and silent, unplugged and stalled modes.
#include "tavopus/tavopus.h"
#include "tavopus/PrinterProtocol.h"
#include "tavopus/TavopusTesting.h"
#include "files/System.h"

#include "support/TavopusEnvironment.h"
#include "support/TempFolder.h"

#include <fnmatch.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <map>
#include <limits>
#include <numeric>
#include <regex>
#include <span>

namespace fs = std::filesystem;
namespace hooks = tavopus::testing;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Notices = std::vector<TavopNotice>;

constexpr const char* kOrbek = "MFG:ORBEK;MDL:MP-100;CMD:ESC;";
constexpr TavopNotice kRemoved{TAVOP_DEVICE_REMOVED, 0};
constexpr TavopNotice kChanged{TAVOP_DEVICES_CHANGED, 0};
// The bytes of the label whose only dot is the top-left one, as the program sends them.
const std::string kJobText = ReadWhole(Q8XJ_LABEL_JOB);
const Bytes kJob(kJobText.begin(), kJobText.end());

// The real system calls but where a test says otherwise: writes follow `plan`
// (per call the bytes let through, or -errno; the last step repeats), opens
// fail with `openError`, node polls report `report`, the next `interrupted`
// reads fail with EINTR, and each pause is shown to `onPause`. Counts the
// writes and polls on devices (every read polls first) and keeps the waits of
// polls for a reply.
struct Calls : files::System {
    Calls() { Replace(this); }
    ~Calls() override { Replace(nullptr); }
    int Open(const char* path, int flags, mode_t mode) override {
        return openError != 0 ? (errno = openError, -1) : System::Open(path, flags, mode);
    }
    ssize_t Write(int fd, const void* bytes, size_t count) override {
        ++onDevices, ++writes;
        if (plan.empty())
            return System::Write(fd, bytes, count);
        const auto step = plan[std::min(static_cast<std::size_t>(writes) - 1, plan.size() - 1)];
        if (step < 0)
            return errno = static_cast<int>(-step), -1;
        const auto* from = static_cast<const std::uint8_t*>(bytes);
        taken.insert(taken.end(), from, from + std::min(count, static_cast<size_t>(step)));
        return std::min(static_cast<ssize_t>(count), step);
    }
    ssize_t Read(int fd, void* to, size_t n) override {
        return interrupted-- > 0 ? (errno = EINTR, -1) : System::Read(fd, to, n);
    }
    int Poll(pollfd* fds, nfds_t count, int timeoutMs) override {
        if (count == 0 && ++pauses > 0 && onPause) // a plain pause
            onPause();
        if (count != 0 && ++onDevices > 0 && (fds[0].events & POLLIN))
            replyWaits.push_back(timeoutMs);
        return count != 0 && report != 0 ? (fds[0].revents = report, 1) : System::Poll(fds, count, timeoutMs);
    }

    std::vector<ssize_t> plan;
    int openError = 0, interrupted = 0;
    short report = 0;
    std::function<void()> onPause;
    int onDevices = 0, writes = 0, pauses = 0;
    Bytes taken;
    std::vector<int> replyWaits;
};

std::uint32_t Start() {
    std::uint32_t handle = 0;
    EXPECT_EQ(TavopStartDevice(&handle, 0), 0u);
    EXPECT_NE(handle, 0u);
    return handle;
}

// Whether a label printer answers at this number; a link to it opens exactly then.
bool Present(int number = 0) {
    std::array<char, 256> name{};
    std::uint32_t handle = 0;
    const bool found = TavopCheckActiveDevice(number, name.data()) == 0;
    EXPECT_EQ(TavopStartDevice(&handle, number) == 0, found) << number;
    TavopEndDevice(handle);
    return found;
}

bool Send(std::uint32_t handle, std::span<const std::uint8_t> bytes) {
    return TavopUsbWrite(handle, bytes.data(), static_cast<std::uint32_t>(bytes.size())) == 0;
}

// What a read of up to `size` bytes into a spoiled buffer received: the
// rest of the buffer is cleared, and the read succeeds when something came.
Bytes Read(std::uint32_t handle, std::uint32_t size) {
    Bytes buffer(size, 0xAA);
    const bool ok = TavopUsbRead(handle, buffer.data(), &size) == 0;
    EXPECT_TRUE(ok == (size > 0) &&
                std::count(buffer.begin() + size, buffer.end(), 0) == std::ssize(buffer) - size);
    buffer.resize(size);
    return buffer;
}

// Whether the udev rule, the file's one rule, gives access to a device with
// this id: every == pattern and no != pattern of ATTRS{ieee1284_id} matches,
// each a glob with | between alternatives, compared with the trailing white
// space removed as udev does.
bool RuleGivesAccess(std::string id) {
    id = id.substr(0, id.find('\0'));
    id.erase(id.find_last_not_of(" \t\n\r") + 1);
    const std::string rule = ReadWhole(UDEV_RULE_FILE);
    const std::regex key(R"re(ATTRS\{ieee1284_id\}(==|!=)"([^"]*)")re");
    bool access = true;
    for (std::sregex_iterator it(rule.begin(), rule.end(), key), end; it != end; ++it) {
        const bool any = fnmatch(("@(" + (*it)[2].str() + ")").c_str(), id.c_str(), FNM_EXTMATCH) == 0;
        access = access && any == ((*it)[1] == "==");
    }
    return access;
}

// Printers on a fake sysfs tree, their nodes links to a raw pseudo-terminal:
// the library opens its slave side, the test plays the printer on the master side.
class KernelPrinters : public testing::Test {
protected:
    void SetUp() override {
        termios raw{};
        cfmakeraw(&raw);
        openpty(&master_, &slave_, nullptr, &raw, nullptr);
        unsetenv("TAVOPUS_VIRTUAL");
        fs::create_directories(root_ / "dev/usb");
        hooks::Reset();
        env_.sysfsRoot = (root_ / "sys").string();
        env_.devRoot = (root_ / "dev").string();
        env_.replyWindowMs = 100;
        env_.writeWaitMs = 300;
    }
    void TearDown() override { Unplug(), ::close(slave_); }
    // The library's side then fails with EIO, as a pulled-out printer's node does.
    void Unplug() { ::close(std::exchange(master_, -1)); }

    fs::path SysfsEntry(int n) const { return root_ / "sys/class/usbmisc" / ("lp" + std::to_string(n)); }
    // A printer with this id at number n, its node a link to the stand-in.
    void AddPrinter(int n, const std::string& id) {
        fs::create_directories(SysfsEntry(n) / "device");
        std::ofstream(SysfsEntry(n) / "device/ieee1284_id") << id;
        std::error_code kept; // a node already there stays
        fs::create_symlink(ttyname(slave_), root_ / "dev/usb" / ("lp" + std::to_string(n)), kept);
    }
    // Plugs the label printer in at number 0 and opens a link to it.
    std::uint32_t Open() {
        AddPrinter(0, kOrbek);
        return Start();
    }

    TempFolder temp_{"tavopus-kernel"};
    const fs::path& root_ = temp_.Path();
    int master_ = -1, slave_ = -1;
    TavopusEnvironment env_;
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
        {"kernel line end", {{0, "MDL:MP;MFG:ORBEK\r\n"}}, 0, "ORBEK MP"},
        {"maker in other case", {{0, "MFG:Orbek;MDL:MP;"}}, -1, ""},
        {"space around the value", {{0, "MFG: ORBEK ;MDL:MP;"}}, -1, ""},
        {"empty maker then ORBEK", {{0, "MFG:;MFG:ORBEK;"}}, -1, ""},
        {"maker named twice", {{0, "MFG:ORBEK;MANUFACTURER:ORBEK;"}}, -1, ""},
        {"maker only starts alike", {{0, "MFG:ORBEKSON;MDL:MP;"}}, -1, ""},
        {"model names the maker", {{0, "MFG:ACME;MDL:ORBEK;"}}, -1, ""},
        {"maker after an empty field", {{0, "DES:X;MFG:ORBEK;;MFG:ACME;"}}, -1, ""},
        {"maker after a NUL", {{0, std::string("MDL:MP;\0MFG:ORBEK;", 19)}}, -1, ""},
        {"id of 1 KiB", {{0, "MFG:ORBEK;MDL:MP;CMD:" + std::string(1024 - 21, 'X')}}, 0, "ORBEK MP"},
        {"id over 1 KiB", {{0, "MFG:ORBEK;MDL:MP;CMD:" + std::string(1025 - 21, 'X')}}, -1, ""},
        {"long name cut",
         {{0, "MFG:ORBEK;MDL:" + std::string(300, 'M')}},
         0,
         "ORBEK " + std::string(249, 'M')},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove_all(root_ / "sys");
        for (const auto& [n, id] : row.ids)
            AddPrinter(n, id);
        int found = -1;
        std::array<char, 256> name{};
        for (int n = 127; n >= -1; --n)
            found = TavopCheckActiveDevice(n, name.data()) == 0 ? n : found;
        EXPECT_EQ(found, row.found);
        EXPECT_EQ(std::string(name.data()), row.printer);
        for (const auto& [n, id] : row.ids) {
            const bool answers = Present(n);
            if (n >= 0 && n <= 126 && id.size() <= 1024) {
                EXPECT_EQ(RuleGivesAccess(id), answers) << n;
            }
        }
    }
}

// Writes go on over pieces, interruptions and "try again", and end the link
// when they time out: a printer that took nothing within the write wait
// counts as gone; one that took everything in the end still works. While
// writes say "try again", a device reporting an error is tried again after
// pauses, one hung up or closed not at all.
TEST_F(KernelPrinters, WritesGoOnOverPiecesAndEndTheLinkWhenTheyTimeOut) {
    const struct {
        const char* name;
        std::vector<ssize_t> plan;
        short report; // of each poll on the node
        bool went;
        int mostWrites;
    } rows[] = {
        {"short pieces", {7}, 0, true, 10},
        {"interrupted", {20, -EINTR, -EINTR, 64}, 0, true, 4},
        {"would block", {10, -EAGAIN, 0, 64}, 0, true, 4},
        {"never gets through", {-EAGAIN}, 0, false, std::numeric_limits<int>::max()},
        {"device vanishes", {10, -ENODEV}, 0, false, 2},
        {"device reports an error", {-EAGAIN}, POLLERR, false, 300 / 50 + 2},
        {"device hung up", {-EAGAIN}, POLLHUP, false, 1},
        {"device closed", {-EAGAIN}, POLLNVAL, false, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto handle = Open();
        Calls calls;
        calls.plan = row.plan;
        calls.report = row.report;
        Bytes sent(64);
        std::iota(sent.begin(), sent.end(), std::uint8_t{1});
        EXPECT_EQ(Send(handle, sent), row.went);
        EXPECT_EQ(calls.taken == sent, row.went);
        EXPECT_TRUE(calls.writes <= row.mostWrites && calls.pauses <= calls.writes) << calls.writes;
        calls.plan = {}, calls.report = 0;
        EXPECT_EQ(TavopUsbWrite(handle, "\x05", 1) == 0, row.went);
        EXPECT_EQ(TavopCheckMyDevice(handle, 0) == 0, !row.went);
    }
}

// A printer that never answers costs one reply window per write, not one
// per read: the reads after the window only take what is there, and leave
// zeros where nothing came. A silent printer is not a lost one.
TEST_F(KernelPrinters, ReadsWaitOnlyWithinTheReplyWindowAfterAWrite) {
    env_.replyWindowMs = 60;
    const auto handle = Open();
    Calls calls;
    auto& waits = calls.replyWaits;
    EXPECT_EQ(Read(handle, 4), Bytes{});
    ASSERT_EQ(TavopUsbWrite(handle, "\x1B\x42", 2), 0u);
    EXPECT_TRUE(Read(handle, 1).empty() && Read(handle, 1).empty());
    // No write yet, then the window after the write, then nothing more.
    EXPECT_TRUE(waits.size() == 3 && waits[0] == 0 && waits[1] > 0 && waits[1] <= 60 && waits[2] == 0);
    // A reply within the window ends the wait, an interrupted read is asked again.
    ASSERT_EQ(TavopUsbWrite(handle, "\x1B\x42", 2), 0u);
    ASSERT_EQ(::write(master_, "\x06\x0A", 2), 2);
    calls.interrupted = 1;
    EXPECT_EQ(Read(handle, 4), (Bytes{0x06, 0x0A}));
}

// Links end as their device goes: the printer plugged in again (its node
// answers, but sysfs has a new entry) before the removal notice comes, or its
// node hung up, or a write or read finding it gone. A removal notice is about
// a link only while the link is open and its device gone, so a stale notice
// spares a fresh link to the new device.
TEST_F(KernelPrinters, GoneDevicesEndTheirLinksAndDeadHandlesTouchNoDevice) {
    const auto ended = Open(), old = Open();
    TavopEndDevice(ended);
    fs::rename(SysfsEntry(0), root_ / "old-lp0");
    const auto goneInWrite = Open(), goneInRead = Open(), hungUp = Open(), live = Open();
    EXPECT_TRUE(TavopCheckMyDevice(old, 0) == 0 && TavopCheckMyDevice(live, 0) != 0);
    Unplug();
    EXPECT_EQ(TavopCheckMyDevice(hungUp, 0), 0u);
    EXPECT_NE(TavopUsbWrite(goneInWrite, "\x1B\x42", 2), 0u);
    EXPECT_EQ(Read(goneInRead, 1), Bytes{});
    Calls calls;
    for (const std::uint32_t handle : {0u, live + 1000, ended, old, hungUp, goneInWrite, goneInRead}) {
        SCOPED_TRACE(handle);
        EXPECT_NE(TavopUsbWrite(handle, "\x1B\x42", 2), 0u);
        EXPECT_EQ(Read(handle, 8), Bytes{});
        const bool gone = handle != 0 && handle != live + 1000 && handle != ended;
        EXPECT_EQ(TavopCheckMyDevice(handle, 0) == 0, gone);
    }
    std::uint32_t one = 1, none = 0;
    EXPECT_NE(TavopUsbRead(live, nullptr, &one), 0u);
    EXPECT_NE(TavopUsbRead(live, &one, &none), 0u);
    EXPECT_NE(TavopUsbWrite(live, nullptr, 1), 0u);
    EXPECT_EQ(calls.onDevices, 0);
}

TEST_F(KernelPrinters, OpenFailuresAreToldOnceInWordsTheUserCanActOn) {
    AddPrinter(0, kOrbek);
    Calls calls;
    testing::internal::CaptureStderr();
    for (std::uint32_t handle = 0; const int e : {EACCES, EACCES, EBUSY, EBUSY, ENOENT}) {
        calls.openError = e;
        EXPECT_NE(TavopStartDevice(&handle, 0), 0u);
    }
    const auto told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 2) << told;
    EXPECT_NE(told.find((root_ / "dev/usb/lp0").string()), std::string::npos) << told;
}

class VirtualPrinter : public testing::Test {
protected:
    void SetUp() override {
        setenv("TAVOPUS_VIRTUAL", folder_.c_str(), 1);
        hooks::Reset();
        env_.replyWindowMs = 5;
        env_.writeWaitMs = 200;
    }
    void Touch(const std::string& name) { WriteWhole(folder_ / name, ""); }
    // Waits for the notice descriptor to turn readable and takes every notice waiting.
    static Notices Take() {
        pollfd wait{TavopNoticeDescriptor(), POLLIN, 0};
        EXPECT_EQ(::poll(&wait, 1, 1000), 1);
        Notices taken;
        for (TavopNotice n; TavopTakeNotice(&n) == 0;)
            taken.push_back(n);
        return taken;
    }

    TempFolder temp_{"tavopus-virtual"};
    const fs::path folder_ = temp_.Path() / "labels"; // made by the library
    TavopusEnvironment env_;
};

// Each step of a job, sent in two halves, is answered once and only when whole;
// the status query says busy until the label is done. A silent printer costs
// one reply window (a pause) per write, however many reads follow.
TEST_F(VirtualPrinter, AnswersEachWholeStepOnce) {
    const std::span<const std::uint8_t> job(kJob);
    const Bytes ack{0x06}, query{0x1B, 0x42};
    const std::vector<std::pair<std::span<const std::uint8_t>, Bytes>> steps{
        {job.subspan(0, 2), ack},       {job.subspan(2, 1), Bytes(8, 0)},
        {job.subspan(3, 1), ack},       {job.subspan(4, 2), ack},
        {job.subspan(6, 16), ack},      {job.subspan(22, 2), ack},
        {job.subspan(24, 1088), ack},   {job.subspan(1112, 1088), ack},
        {job.subspan(2200, 1088), ack}, {query, {0x01}},
        {job.subspan(3288), ack},       {query, ack},
    };
    for (const bool silent : {false, true}) {
        SCOPED_TRACE(silent);
        if (silent)
            Touch("silent");
        const auto handle = Start();
        Calls calls;
        for (const auto& [send, answer] : steps) {
            ASSERT_TRUE(Send(handle, send.first(send.size() / 2)));
            EXPECT_EQ(Read(handle, 1), Bytes{});
            ASSERT_TRUE(Send(handle, send.subspan(send.size() / 2)));
            EXPECT_EQ(Read(handle, static_cast<std::uint32_t>(answer.size())), silent ? Bytes{} : answer);
            EXPECT_EQ(Read(handle, 1), Bytes{});
        }
        EXPECT_TRUE(!silent || calls.pauses == 2 * std::ssize(steps)) << calls.pauses;
    }
    // Everything from ESC I to ESC N is kept, the busy query with it.
    const std::string kept = kJobText.substr(0, kJobText.size() - 2) + "\x1B\x42\x1B\x4E";
    EXPECT_EQ(ReadWhole(folder_ / "label-0001.bin"), kept);
    EXPECT_EQ(ReadWhole(folder_ / "label-0002.bin"), kept);
    // Bytes kept without a start of job are dropped once they reach the cap.
    Bytes noise(tavopus::PrinterProtocol::kMaxRawBytes, 0);
    noise.insert(noise.end(), kJob.begin() + 2, kJob.end());
    ASSERT_TRUE(Send(Start(), noise));
    EXPECT_TRUE(ReadWhole(folder_ / "label-0003.bin") == kJobText.substr(2)); // a failure prints no megabyte
}

// Unplugged, the printer is gone with its link, and a removal notice names it;
// plugged in again, the old link stays dead and a new one works, which a stale
// notice spares; one unplugged when the watch began is told when plugged in. Notices reach only a registered
// window, and other files in the folder give none.
TEST_F(VirtualPrinter, UnplugAndPlugGiveNoticesToTheRegisteredWindow) {
    EXPECT_FALSE(Present(1));
    Touch("unplugged"); // before the watch begins
    TavopRegistHandle(0x1234);
    ASSERT_GE(TavopNoticeDescriptor(), 0);
    fs::remove(folder_ / "unplugged");
    EXPECT_EQ(Take(), Notices{kChanged});
    Touch("silent");
    EXPECT_EQ(Take(), Notices{});
    const auto old = Start();
    Touch("unplugged");
    EXPECT_EQ(Take(), (Notices{kRemoved, kChanged}));
    EXPECT_FALSE(Present());
    EXPECT_NE(TavopCheckMyDevice(old, 1), 0u);
    EXPECT_EQ(TavopCheckMyDevice(old, kRemoved.device), 0u);
    TavopUnregistHandle();
    fs::remove(folder_ / "unplugged");
    EXPECT_EQ(Take(), Notices{});
    TavopRegistHandle(0x1234);
    // Out and back before the program reads the notices.
    const auto before = Start();
    Touch("unplugged");
    fs::remove(folder_ / "unplugged");
    EXPECT_EQ(Take(), (Notices{kRemoved, kChanged, kChanged}));
    const auto fresh = Start();
    EXPECT_NE(TavopCheckMyDevice(fresh, kRemoved.device), 0u);
    EXPECT_EQ(TavopCheckMyDevice(before, kRemoved.device), 0u);
    EXPECT_TRUE(Send(fresh, Bytes{0x06}));
}

// Names planted in the folder before a label is saved: none may be followed
// or replaced, nothing is left aside, and the label goes to the first number
// free for both files; a job short of its last strip saves nothing.
TEST_F(VirtualPrinter, PlantedNamesAreNeverFollowedNorReplaced) {
    const struct {
        std::vector<std::string> links; // names in the folder, linking to the victim
        std::vector<std::string> files; // plain files already there
        std::string savedAs;
    } rows[] = {
        {{"label-0001.png", "label-0002.bin"}, {}, "label-0003"}, // the .bin dangling
        {{"label-0001.bin.part", "label-0001.png.part"}, {}, "label-0001"},
        {{}, {"label-0001.bin", "label-0003.png"}, "label-0002"},
    };
    const auto victim = temp_.Path() / "victim", missing = temp_.Path() / "missing";
    Bytes partial(kJob.begin(), kJob.begin() + 2200);
    partial.insert(partial.end(), kJob.end() - 2, kJob.end());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.savedAs);
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        WriteWhole(victim, "keep");
        for (const auto& name : row.links)
            fs::create_symlink(name.ends_with(".bin") ? missing : victim, folder_ / name);
        for (const auto& name : row.files)
            Touch(name);
        hooks::Reset();
        const auto handle = Start();
        EXPECT_TRUE(Send(handle, partial) && Send(handle, kJob));
        EXPECT_EQ(ReadWhole(victim), "keep");
        EXPECT_FALSE(fs::exists(fs::symlink_status(missing)));
        for (const auto& name : row.links)
            EXPECT_TRUE(fs::is_symlink(folder_ / name)) << name;
        for (const auto* ext : {".png", ".bin"})
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder_ / (row.savedAs + ext)))) << ext;
        EXPECT_EQ(std::distance(fs::directory_iterator(folder_), {}),
                  std::ssize(row.links) + std::ssize(row.files) + 2);
    }
}

// A folder the printer cannot save into, spoiled before the start or while a
// link is open, makes the printer absent and is told once; a label that cannot
// be saved fails its write and ends the link.
TEST_F(VirtualPrinter, UnusableFoldersMakeThePrinterAbsent) {
    for (const bool afterTheLinkOpened : {false, true}) {
        SCOPED_TRACE(afterTheLinkOpened);
        fs::remove_all(folder_);
        hooks::Reset();
        std::uint32_t handle = afterTheLinkOpened ? Start() : 0;
        testing::internal::CaptureStderr();
        EXPECT_EQ(Send(handle, std::span(kJob).first(kJob.size() - 2)), handle != 0);
        fs::remove_all(folder_);
        WriteWhole(folder_, "not a folder");
        if (handle == 0)
            hooks::Reset();
        for (int call = 0; call < 3; ++call) {
            EXPECT_FALSE(Present());
            EXPECT_FALSE(Send(handle, std::span(kJob).last(2)));
        }
        EXPECT_EQ(TavopCheckMyDevice(handle, 0) == 0, afterTheLinkOpened);
        const auto told = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
        EXPECT_NE(told.find(folder_.string()), std::string::npos) << told;
    }
}

// A stalled printer blocks writes until the write wait ends the link; an
// ended link fails at once and its device counts as gone, but the printer is
// still there: a new link works once it takes bytes again.
TEST_F(VirtualPrinter, StalledPrinterBlocksWritesUntilTheWriteWaitEndsTheLink) {
    for (const auto& [liftAfter, goes] : {std::pair{-1, false}, {2, true}}) { // pauses until "stalled" goes
        SCOPED_TRACE(goes);
        const auto handle = Start();
        Touch("stalled");
        Calls calls;
        // A copy: clang 14 cannot capture a structured binding.
        calls.onPause = [&calls, this, lift = liftAfter] {
            if (calls.pauses == lift)
                fs::remove(folder_ / "stalled");
        };
        EXPECT_EQ(Send(handle, Bytes{0x1B, 0x49}), goes);
        EXPECT_GE(calls.pauses, 1);
        EXPECT_EQ(Read(handle, 1), goes ? Bytes{0x06} : Bytes{});
        EXPECT_EQ(TavopCheckMyDevice(handle, 0) == 0, !goes);
        fs::remove(folder_ / "stalled");
        EXPECT_TRUE(Present() && Send(Start(), Bytes{0x05}));
    }
}

} // namespace
