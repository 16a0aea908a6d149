// The kernel backend against a fake sysfs tree and pseudo-terminals standing
// in for the printer nodes.
#include "tavopus/tavopus.h"
#include "tavopus/TavopusTesting.h"

#include "support/NamedCases.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <numeric>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A pseudo-terminal in raw mode: the library opens its slave side through
// the device node link, the test plays the printer on the master side.
class StandInNode {
public:
    StandInNode() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        EXPECT_GE(master_, 0);
        grantpt(master_);
        unlockpt(master_);
        path_ = ptsname(master_);
        slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios mode{};
        tcgetattr(slave_, &mode);
        cfmakeraw(&mode);
        tcsetattr(slave_, TCSANOW, &mode);
    }
    ~StandInNode() {
        Unplug();
        if (slave_ >= 0)
            ::close(slave_);
    }
    StandInNode(const StandInNode&) = delete;
    StandInNode& operator=(const StandInNode&) = delete;

    const std::string& Path() const { return path_; }
    // Closing the master side makes the library's side fail with EIO, as a
    // printer node does once the printer is pulled out.
    void Unplug() {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }
    void Send(std::vector<std::uint8_t> bytes) const {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    std::vector<std::uint8_t> Received(std::size_t count) const {
        std::vector<std::uint8_t> bytes(count);
        std::size_t got = 0;
        while (got < count) {
            // Bytes that never come must fail the test, not hang it.
            pollfd wait{master_, POLLIN, 0};
            if (::poll(&wait, 1, 1000) != 1)
                break;
            const auto n = ::read(master_, bytes.data() + got, count - got);
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
        return bytes;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

class KernelPrinters : public testing::Test {
protected:
    void SetUp() override {
        unsetenv("TAVOPUS_VIRTUAL");
        std::string pattern = (fs::temp_directory_path() / "tavopus-kernel-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        fs::create_directories(root_ / "sys/class/usbmisc");
        fs::create_directories(root_ / "dev/usb");
        tavopus::testing::Reset();
        tavopus::testing::SetRoots((root_ / "sys").string(), (root_ / "dev").string());
        tavopus::testing::SetTimeouts(100, 500);
    }
    void TearDown() override {
        tavopus::testing::Reset();
        fs::remove_all(root_);
    }

    // A printer node with this id at number n, its node a link to `target`.
    void AddPrinter(int n, const std::string& id, const std::string& target) {
        const auto dir = root_ / "sys/class/usbmisc" / ("lp" + std::to_string(n)) / "device";
        fs::create_directories(dir);
        std::ofstream(dir / "ieee1284_id") << id;
        const auto node = root_ / "dev/usb" / ("lp" + std::to_string(n));
        fs::remove(node);
        fs::create_symlink(target, node);
    }
    void RemovePrinter(int n) {
        fs::remove_all(root_ / "sys/class/usbmisc" / ("lp" + std::to_string(n)));
        fs::remove(root_ / "dev/usb" / ("lp" + std::to_string(n)));
    }
    std::uint32_t Open(int n) {
        std::uint32_t handle = 0;
        EXPECT_EQ(TavopStartDevice(&handle, n), 0u);
        EXPECT_NE(handle, 0u);
        return handle;
    }

    fs::path root_;
};

constexpr const char* kOrbek = "MFG:ORBEK;MDL:MP-100;CMD:ESC;";
constexpr const char* kOffice = "MFG:HP;MDL:LaserJet;CMD:PCL;";

// The scan as the program makes it: the first number that answers.
struct Found {
    int number = -1;
    std::string name;
};
Found Scan() {
    for (int n = 0; n <= 126; ++n) {
        std::array<char, 256> name;
        name.fill('\x7F');
        if (TavopCheckActiveDevice(n, name.data()) == 0)
            return {n, name.data()};
    }
    return {};
}

struct ScanCase {
    std::string name;
    std::map<int, std::string> ids;
    int number;
    std::string deviceName;
    friend void PrintTo(const ScanCase& c, std::ostream* os) { *os << c.name; }
};

class KernelScan : public KernelPrinters, public testing::WithParamInterface<ScanCase> {};

TEST_P(KernelScan, AnswersOnlyForTheLabelPrinter) {
    const auto& c = GetParam();
    StandInNode node;
    for (const auto& [n, id] : c.ids)
        AddPrinter(n, id, node.Path());
    const auto found = Scan();
    EXPECT_EQ(found.number, c.number);
    EXPECT_EQ(found.name, c.deviceName);
}

INSTANTIATE_TEST_SUITE_P(
    Ids, KernelScan,
    testing::Values(
        ScanCase{"NoPrinter", {}, -1, ""}, ScanCase{"LabelPrinter", {{4, kOrbek}}, 4, "ORBEK MP-100"},
        ScanCase{"OfficePrinterNeverAnswers", {{0, kOffice}}, -1, ""},
        ScanCase{"OfficePrinterBeforeLabelPrinter", {{0, kOffice}, {1, kOrbek}}, 1, "ORBEK MP-100"},
        ScanCase{"LowestNumberWins", {{9, "MFG:ORBEK;MDL:B;"}, {2, "MFG:ORBEK;MDL:A;"}}, 2, "ORBEK A"},
        ScanCase{"LastNumber", {{126, kOrbek}}, 126, "ORBEK MP-100"},
        ScanCase{"NumberPastTheLast", {{127, kOrbek}}, -1, ""},
        ScanCase{"LongName",
                 {{0, "MFG:ORBEK;MDL:" + std::string(300, 'M') + ";"}},
                 0,
                 "ORBEK " + std::string(249, 'M')}),
    named_cases::CaseName{});

TEST_F(KernelPrinters, NumbersOutsideTheRangeNeverAnswer) {
    StandInNode node;
    for (int n : {-1, 127, 128, 1000})
        AddPrinter(n, kOrbek, node.Path());
    for (int n : {-1, 127, 128, 1000}) {
        std::array<char, 256> name{};
        EXPECT_NE(TavopCheckActiveDevice(n, name.data()), 0u) << n;
        std::uint32_t handle = 0;
        EXPECT_NE(TavopStartDevice(&handle, n), 0u) << n;
    }
}

TEST_F(KernelPrinters, NodeMissingFromDevDoesNotAnswer) {
    StandInNode node;
    AddPrinter(0, kOrbek, node.Path());
    fs::remove(root_ / "dev/usb/lp0");
    std::array<char, 256> name{};
    EXPECT_NE(TavopCheckActiveDevice(0, name.data()), 0u);
    std::uint32_t handle = 0;
    EXPECT_NE(TavopStartDevice(&handle, 0), 0u);
    EXPECT_EQ(handle, 0u);
}

TEST_F(KernelPrinters, OfficePrinterIsNeverOpened) {
    StandInNode node;
    AddPrinter(0, kOffice, node.Path());
    int opens = 0;
    auto calls = tavopus::testing::RealSystemCalls();
    calls.open = [&](const char*, int) {
        return ++opens, -1;
    };
    tavopus::testing::SetSystemCalls(calls);
    std::uint32_t handle = 0;
    EXPECT_NE(TavopStartDevice(&handle, 0), 0u);
    EXPECT_EQ(opens, 0);
}

TEST_F(KernelPrinters, BytesPassUnchangedBothWays) {
    StandInNode node;
    AddPrinter(0, kOrbek, node.Path());
    const auto handle = Open(0);
    // Bytes a terminal would translate or act on.
    const std::vector<std::uint8_t> sent{0x1B, 0x49, 0x0A, 0x0D, 0x03, 0x04, 0x11, 0x13, 0x7F, 0x00};
    EXPECT_EQ(TavopUsbWrite(handle, sent.data(), static_cast<std::uint32_t>(sent.size())), 0u);
    EXPECT_EQ(node.Received(sent.size()), sent);

    node.Send({0x06, 0x0A, 0x00, 0x0D});
    std::array<std::uint8_t, 8> reply;
    reply.fill(0xAA);
    std::uint32_t count = 8;
    EXPECT_EQ(TavopUsbRead(handle, reply.data(), &count), 0u);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(reply, (std::array<std::uint8_t, 8>{0x06, 0x0A, 0x00, 0x0D, 0, 0, 0, 0}));
}

TEST_F(KernelPrinters, ReadThatTimesOutLeavesZeros) {
    StandInNode node;
    AddPrinter(0, kOrbek, node.Path());
    const auto handle = Open(0);
    std::array<std::uint8_t, 8> reply;
    reply.fill(0xAA);
    std::uint32_t count = 8;
    EXPECT_NE(TavopUsbRead(handle, reply.data(), &count), 0u);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(reply, (std::array<std::uint8_t, 8>{}));
    // The link survives a silent printer.
    node.Send({0x06});
    count = 1;
    EXPECT_EQ(TavopUsbRead(handle, reply.data(), &count), 0u);
    EXPECT_EQ(reply[0], 0x06);
}

// Writes that the kernel takes only in part, or interrupts.
struct WriteFault {
    std::string name;
    std::vector<ssize_t> plan; // per call: bytes let through, or -errno
    friend void PrintTo(const WriteFault& c, std::ostream* os) { *os << c.name; }
};

class PartialWrites : public KernelPrinters, public testing::WithParamInterface<WriteFault> {};

TEST_P(PartialWrites, AllBytesArriveInOrder) {
    StandInNode node;
    AddPrinter(0, kOrbek, node.Path());
    const auto handle = Open(0);
    const auto plan = GetParam().plan;
    std::size_t call = 0;
    auto calls = tavopus::testing::RealSystemCalls();
    const auto realWrite = calls.write;
    calls.write = [&](int fd, const void* bytes, size_t count) -> ssize_t {
        const auto step = call < plan.size() ? plan[call] : static_cast<ssize_t>(count);
        ++call;
        if (step < 0) {
            errno = static_cast<int>(-step);
            return -1;
        }
        return realWrite(fd, bytes, std::min(count, static_cast<size_t>(step)));
    };
    tavopus::testing::SetSystemCalls(calls);

    std::vector<std::uint8_t> sent(64);
    std::iota(sent.begin(), sent.end(), std::uint8_t{1});
    EXPECT_EQ(TavopUsbWrite(handle, sent.data(), 64), 0u);
    EXPECT_EQ(node.Received(64), sent);
    EXPECT_GT(call, plan.size());
}

INSTANTIATE_TEST_SUITE_P(Faults, PartialWrites,
                         testing::Values(WriteFault{"ShortPieces", {7, 7, 7, 7, 7, 7, 7, 7, 7}},
                                         WriteFault{"InterruptedFirst", {-EINTR}},
                                         WriteFault{"InterruptedAfterPart", {20, -EINTR, -EINTR, 1}},
                                         WriteFault{"WouldBlock", {10, -EAGAIN, 0, 30}}),
                         named_cases::CaseName{});

TEST_F(KernelPrinters, WriteThatNeverGetsThroughGivesUp) {
    StandInNode node;
    AddPrinter(0, kOrbek, node.Path());
    const auto handle = Open(0);
    auto calls = tavopus::testing::RealSystemCalls();
    calls.write = [](int, const void*, size_t) -> ssize_t {
        return errno = EAGAIN, -1;
    };
    calls.poll = [](pollfd*, nfds_t, int) {
        return 0;
    };
    tavopus::testing::SetSystemCalls(calls);
    const std::uint8_t byte = 0x05;
    EXPECT_NE(TavopUsbWrite(handle, &byte, 1), 0u);
    // A full printer is not a lost one.
    tavopus::testing::SetSystemCalls(tavopus::testing::RealSystemCalls());
    EXPECT_EQ(TavopUsbWrite(handle, &byte, 1), 0u);
}

// Counts every system call the library makes on device nodes.
struct CallCounter {
    int calls = 0;
    void Install() {
        auto real = tavopus::testing::RealSystemCalls();
        tavopus::testing::SystemCalls counted{
            [this, real](const char* p, int f) { return ++calls, real.open(p, f); },
            [this, real](int fd, void* b, size_t n) { return ++calls, real.read(fd, b, n); },
            [this, real](int fd, const void* b, size_t n) { return ++calls, real.write(fd, b, n); },
            [this, real](pollfd* p, nfds_t n, int t) { return ++calls, real.poll(p, n, t); },
            [this, real](int fd) { return ++calls, real.close(fd); },
        };
        tavopus::testing::SetSystemCalls(counted);
    }
};

TEST_F(KernelPrinters, DeviceVanishingInTheMiddleOfAWriteEndsTheLink) {
    StandInNode node;
    AddPrinter(0, kOrbek, node.Path());
    const auto handle = Open(0);
    auto calls = tavopus::testing::RealSystemCalls();
    const auto realWrite = calls.write;
    int writes = 0;
    calls.write = [&](int fd, const void* bytes, size_t count) -> ssize_t {
        if (++writes == 2) {
            node.Unplug();
            RemovePrinter(0);
        }
        return realWrite(fd, bytes, std::min<size_t>(count, 16));
    };
    tavopus::testing::SetSystemCalls(calls);
    const std::vector<std::uint8_t> frame(64, 0x55);
    EXPECT_NE(TavopUsbWrite(handle, frame.data(), 64), 0u);
    EXPECT_EQ(writes, 2);

    CallCounter counter;
    counter.Install();
    EXPECT_NE(TavopUsbWrite(handle, frame.data(), 64), 0u);
    std::array<std::uint8_t, 1> reply{0xAA};
    std::uint32_t count = 1;
    EXPECT_NE(TavopUsbRead(handle, reply.data(), &count), 0u);
    EXPECT_EQ(reply[0], 0);
    EXPECT_EQ(counter.calls, 0);
    EXPECT_EQ(TavopCheckMyDevice(handle, TAVOP_NODE_WORD(0)), 0u);
}

TEST_F(KernelPrinters, ReadFromVanishedDeviceEndsTheLink) {
    StandInNode node;
    AddPrinter(0, kOrbek, node.Path());
    const auto handle = Open(0);
    node.Unplug();
    std::array<std::uint8_t, 1> reply{};
    std::uint32_t count = 1;
    EXPECT_NE(TavopUsbRead(handle, reply.data(), &count), 0u);
    CallCounter counter;
    counter.Install();
    EXPECT_NE(TavopUsbWrite(handle, reply.data(), 1), 0u);
    EXPECT_EQ(counter.calls, 0);
}

enum class HandleKind { Zero, NeverGiven, Ended, Vanished };

struct HandleCase {
    std::string name;
    HandleKind kind;
    friend void PrintTo(const HandleCase& c, std::ostream* os) { *os << c.name; }
};

class UnusableHandles : public KernelPrinters, public testing::WithParamInterface<HandleCase> {};

TEST_P(UnusableHandles, FailWithoutTouchingAnyDevice) {
    StandInNode node;
    AddPrinter(0, kOrbek, node.Path());
    std::uint32_t handle = 0;
    switch (GetParam().kind) {
    case HandleKind::Zero:
        break;
    case HandleKind::NeverGiven:
        handle = Open(0) + 1000;
        break;
    case HandleKind::Ended:
        handle = Open(0);
        TavopEndDevice(handle);
        break;
    case HandleKind::Vanished: {
        handle = Open(0);
        node.Unplug();
        const std::uint8_t byte = 0;
        EXPECT_NE(TavopUsbWrite(handle, &byte, 1), 0u);
        break;
    }
    }
    CallCounter counter;
    counter.Install();
    const std::array<std::uint8_t, 2> command{0x1B, 0x42};
    EXPECT_NE(TavopUsbWrite(handle, command.data(), 2), 0u);
    std::array<std::uint8_t, 8> reply;
    reply.fill(0xAA);
    std::uint32_t count = 8;
    EXPECT_NE(TavopUsbRead(handle, reply.data(), &count), 0u);
    EXPECT_EQ(reply, (std::array<std::uint8_t, 8>{}));
    TavopEndDevice(handle);
    EXPECT_EQ(counter.calls, 0);
}

INSTANTIATE_TEST_SUITE_P(Handles, UnusableHandles,
                         testing::Values(HandleCase{"Zero", HandleKind::Zero},
                                         HandleCase{"NeverGiven", HandleKind::NeverGiven},
                                         HandleCase{"Ended", HandleKind::Ended},
                                         HandleCase{"Vanished", HandleKind::Vanished}),
                         named_cases::CaseName{});

struct OpenFailure {
    std::string name;
    int error;
    std::string advice; // words the user can act on
    friend void PrintTo(const OpenFailure& c, std::ostream* os) { *os << c.name; }
};

class OpenFailures : public KernelPrinters, public testing::WithParamInterface<OpenFailure> {};

TEST_P(OpenFailures, ToldOnceOnStandardError) {
    StandInNode node;
    AddPrinter(0, kOrbek, node.Path());
    auto calls = tavopus::testing::RealSystemCalls();
    const int error = GetParam().error;
    calls.open = [error](const char*, int) {
        return errno = error, -1;
    };
    tavopus::testing::SetSystemCalls(calls);

    testing::internal::CaptureStderr();
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::uint32_t handle = 0;
        EXPECT_NE(TavopStartDevice(&handle, 0), 0u);
        EXPECT_EQ(handle, 0u);
    }
    const auto told = testing::internal::GetCapturedStderr();
    const auto first = told.find(GetParam().advice);
    ASSERT_NE(first, std::string::npos) << told;
    EXPECT_EQ(told.find(GetParam().advice, first + 1), std::string::npos) << told;
    EXPECT_NE(told.find((root_ / "dev/usb/lp0").string()), std::string::npos) << told;
}

INSTANTIATE_TEST_SUITE_P(Errors, OpenFailures,
                         testing::Values(OpenFailure{"PermissionDenied", EACCES, "Install the udev rule"},
                                         OpenFailure{"NotPermitted", EPERM, "Install the udev rule"},
                                         OpenFailure{"Busy", EBUSY, "in use by another program"}),
                         named_cases::CaseName{});

TEST_F(KernelPrinters, OtherOpenFailuresAreNotTold) {
    StandInNode node;
    AddPrinter(0, kOrbek, node.Path());
    auto calls = tavopus::testing::RealSystemCalls();
    calls.open = [](const char*, int) {
        return errno = ENOENT, -1;
    };
    tavopus::testing::SetSystemCalls(calls);
    testing::internal::CaptureStderr();
    std::uint32_t handle = 0;
    EXPECT_NE(TavopStartDevice(&handle, 0), 0u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// What the removal notice's data word tells about the open link.
enum class Removal {
    OtherNode,
    OtherNodeWhileOursIsGoneToo,
    LinkedNodeGone,
    LinkedNodeStillThere,
    StaleAfterReplug,
    NoLink
};

struct RemovalCase {
    std::string name;
    Removal removal;
    bool mine;
    friend void PrintTo(const RemovalCase& c, std::ostream* os) { *os << c.name; }
};

class RemovalNotices : public KernelPrinters, public testing::WithParamInterface<RemovalCase> {};

TEST_P(RemovalNotices, CheckMyDeviceAnswersForTheLinkedDeviceOnlyWhenGone) {
    auto first = std::make_unique<StandInNode>();
    StandInNode second;
    AddPrinter(0, kOrbek, first->Path());
    AddPrinter(1, kOrbek, second.Path());
    std::uint32_t handle = Open(0);
    std::uint32_t word = TAVOP_NODE_WORD(0);
    switch (GetParam().removal) {
    case Removal::OtherNode:
        second.Unplug();
        RemovePrinter(1);
        word = TAVOP_NODE_WORD(1);
        break;
    case Removal::OtherNodeWhileOursIsGoneToo:
        // Our own removal has its own notice; this one is about another node.
        first->Unplug();
        RemovePrinter(0);
        second.Unplug();
        RemovePrinter(1);
        word = TAVOP_NODE_WORD(1);
        break;
    case Removal::LinkedNodeGone:
        first->Unplug();
        RemovePrinter(0);
        break;
    case Removal::LinkedNodeStillThere:
        break;
    case Removal::StaleAfterReplug: {
        // The old link has been closed; the notice about its removal comes
        // late, after a new link to the same number was opened.
        first->Unplug();
        RemovePrinter(0);
        TavopEndDevice(handle);
        first = std::make_unique<StandInNode>();
        AddPrinter(0, kOrbek, first->Path());
        handle = Open(0);
        break;
    }
    case Removal::NoLink:
        TavopEndDevice(handle);
        handle = 0;
        first->Unplug();
        RemovePrinter(0);
        break;
    }
    EXPECT_EQ(TavopCheckMyDevice(handle, word) == 0, GetParam().mine);
}

INSTANTIATE_TEST_SUITE_P(
    Notices, RemovalNotices,
    testing::Values(RemovalCase{"OtherNode", Removal::OtherNode, false},
                    RemovalCase{"OtherNodeWhileOursIsGoneToo", Removal::OtherNodeWhileOursIsGoneToo, false},
                    RemovalCase{"LinkedNodeGone", Removal::LinkedNodeGone, true},
                    RemovalCase{"LinkedNodeStillThere", Removal::LinkedNodeStillThere, false},
                    RemovalCase{"StaleAfterReplug", Removal::StaleAfterReplug, false},
                    RemovalCase{"NoLink", Removal::NoLink, false}),
    named_cases::CaseName{});

TEST_F(KernelPrinters, PluggedInAgainUnderTheSameNumberIsANewDevice) {
    // The node stays usable, but the sysfs entry is a new one: the old link
    // belongs to a device that has gone.
    StandInNode node;
    AddPrinter(0, kOrbek, node.Path());
    const auto handle = Open(0);
    const auto keep = root_ / "kept";
    fs::rename(root_ / "sys/class/usbmisc/lp0", keep);
    AddPrinter(0, kOrbek, node.Path());
    EXPECT_EQ(TavopCheckMyDevice(handle, TAVOP_NODE_WORD(0)), 0u);
}

TEST_F(KernelPrinters, KernelBackendHasNoNoticesOfItsOwn) {
    EXPECT_EQ(TavopNoticeDescriptor(), -1);
}

} // namespace
