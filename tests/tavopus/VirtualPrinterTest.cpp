// The virtual printer: its replies, the labels it saves, and its silent and
// unplugged modes with the notices they give.
#include "tavopus/tavopus.h"
#include "tavopus/TavopusTesting.h"

#include "PngReader.h"
#include "support/NamedCases.h"
#include "support/TempFolder.h"

#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Notice = std::pair<std::uint32_t, std::uint32_t>; // event, data word
using Notices = std::vector<Notice>;

const Notice kRemoved{TAVOP_DEVICEREMOVECOMPLETE, TAVOP_NODE_WORD(0)};
const Notice kChanged{TAVOP_DEVNODES_CHANGED, 0};

class VirtualPrinter : public testing::Test {
protected:
    void SetUp() override {
        setenv("TAVOPUS_VIRTUAL", folder_.c_str(), 1);
        tavopus::testing::Reset();
        tavopus::testing::SetTimeouts(5, 200);
    }
    void TearDown() override {
        unsetenv("TAVOPUS_VIRTUAL");
        tavopus::testing::Reset();
    }
    void Unplug() { std::ofstream(folder_ / "unplugged") << ""; }
    void PlugIn() { fs::remove(folder_ / "unplugged"); }
    static std::uint32_t Open() {
        std::uint32_t handle = 0;
        EXPECT_EQ(TavopStartDevice(&handle, 0), 0u);
        return handle;
    }
    // Waits for the notice descriptor to turn readable and takes every notice waiting.
    static Notices Take() {
        pollfd wait{TavopNoticeDescriptor(), POLLIN, 0};
        EXPECT_EQ(::poll(&wait, 1, 1000), 1);
        Notices taken;
        for (Notice n; TavopTakeNotice(&n.first, &n.second) == 0;)
            taken.push_back(n);
        return taken;
    }

    TempFolder temp_{"tavopus-virtual"};
    const fs::path folder_ = temp_ / "labels"; // made by the library
};

// Strips packed by the column rule, written here apart from the library:
// column x's dot in row y is bit y mod 8 of byte 8 (x mod 128) + y div 8 of strip x div 128.
Bytes PackDots(const std::set<std::pair<int, int>>& dots) {
    Bytes strips(3 * 1024);
    for (const auto& [x, y] : dots)
        strips[static_cast<std::size_t>(x / 128 * 1024 + 8 * (x % 128) + y / 8)] |=
            static_cast<std::uint8_t>(1 << (y % 8));
    return strips;
}

// One step of a print job: its name, what is sent and what a printer answers.
using Step = std::tuple<std::string, Bytes, Bytes>;

std::vector<Step> PrintJob(const Bytes& strips) {
    const auto image = [&](int strip) {
        Bytes frame{0x02, static_cast<std::uint8_t>(strip == 2 ? 0x80 : 0x00), 0x00, 0x04};
        frame.insert(frame.end(), strips.begin() + strip * 1024, strips.begin() + (strip + 1) * 1024);
        frame.resize(1088, 0);
        return frame;
    };
    const Bytes ack{0x06};
    return {
        {"EscI", {0x1B, 0x49}, ack},
        {"Enq", {0x05}, Bytes(8, 0x00)},
        {"Ack", {0x06}, ack},
        {"EscP", {0x1B, 0x50}, ack},
        {"Setup",
         {0x02, 0x80, 0x0C, 0x00, 0x00, 0x00, 0x00, 0x04, 0x40, 0x00, 0x20, 0x00, 0x00, 0x0C, 0x00, 0x00},
         ack},
        {"EscG", {0x1B, 0x47}, ack},
        {"Strip1", image(0), ack},
        {"Strip2", image(1), ack},
        {"Strip3", image(2), ack},
        {"StatusBusy", {0x1B, 0x42}, {0x01}},
        {"EscN", {0x1B, 0x4E}, ack},
        {"StatusPrinted", {0x1B, 0x42}, ack},
    };
}

void Send(std::uint32_t handle, const Bytes& bytes) {
    ASSERT_EQ(TavopUsbWrite(handle, bytes.data(), static_cast<std::uint32_t>(bytes.size())), 0u);
}

Bytes Read(std::uint32_t handle, std::size_t want) {
    Bytes reply(want, 0xAA);
    auto count = static_cast<std::uint32_t>(want);
    TavopUsbRead(handle, reply.data(), &count);
    reply.resize(count);
    return reply;
}

class PrintJobs : public VirtualPrinter, public testing::WithParamInterface<bool> {};

TEST_P(PrintJobs, AnswerOnceEachStepIsWholeAndSaveTheLabel) {
    const bool silent = GetParam();
    if (silent)
        std::ofstream(folder_ / "silent") << "";
    const std::set<std::pair<int, int>> dots{{0, 0},   {127, 0},  {128, 63}, {255, 7},
                                             {256, 8}, {200, 31}, {200, 32}, {383, 63}};
    const auto handle = Open();
    Bytes sent;
    for (const auto& [name, send, answer] : PrintJob(PackDots(dots))) {
        SCOPED_TRACE(name);
        const auto half = send.begin() + static_cast<std::ptrdiff_t>(send.size() / 2);
        Send(handle, {send.begin(), half});
        EXPECT_EQ(Read(handle, 1), Bytes{});
        Send(handle, {half, send.end()});
        EXPECT_EQ(Read(handle, answer.size()), silent ? Bytes{} : answer);
        EXPECT_EQ(Read(handle, 1), Bytes{});
        if (name != "StatusPrinted")
            sent.insert(sent.end(), send.begin(), send.end());
    }
    EXPECT_EQ(ReadBytes(folder_ / "label-0001.bin"), sent);
    std::string error;
    const auto picture = ReadPng(ReadBytes(folder_ / "label-0001.png"), error);
    ASSERT_TRUE(picture) << error;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 384; ++x)
            ASSERT_EQ(picture->Black(x, y), dots.contains({x, y})) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Modes, PrintJobs, testing::Bool(),
                         [](const auto& row) { return std::string(row.param ? "Silent" : "Answering"); });

TEST_F(VirtualPrinter, EachWholeLabelTakesTheNextFreeNumber) {
    std::ofstream(folder_ / "label-0001.png") << ""; // left from an earlier run
    const auto handle = Open();
    // The first job lacks its last strip and saves nothing.
    for (int job = 0; job < 3; ++job)
        for (const auto& [name, send, answer] : PrintJob(PackDots({})))
            if (job > 0 || name != "Strip3")
                Send(handle, send);
    EXPECT_EQ(fs::file_size(folder_ / "label-0001.png"), 0u);
    for (const auto* name : {"label-0002.png", "label-0002.bin", "label-0003.png", "label-0003.bin"})
        EXPECT_TRUE(fs::exists(folder_ / name)) << name;
    EXPECT_FALSE(fs::exists(folder_ / "label-0004.png"));
}

TEST_F(VirtualPrinter, UnpluggedIsGoneAndItsLinkWithIt) {
    const auto handle = Open();
    std::array<char, 256> name{};
    EXPECT_NE(TavopCheckActiveDevice(1, name.data()), 0u);
    Unplug();
    EXPECT_NE(TavopCheckActiveDevice(0, name.data()), 0u);
    std::uint32_t refused = 0;
    EXPECT_NE(TavopStartDevice(&refused, 0), 0u);
    EXPECT_NE(TavopCheckMyDevice(handle, TAVOP_NODE_WORD(1)), 0u);
    EXPECT_EQ(TavopCheckMyDevice(handle, TAVOP_NODE_WORD(0)), 0u);
    EXPECT_NE(TavopUsbWrite(handle, "\x05", 1), 0u);
    // Back again: the old link stays dead, a new one works.
    PlugIn();
    EXPECT_EQ(TavopCheckActiveDevice(0, name.data()), 0u);
    EXPECT_NE(TavopUsbWrite(handle, "\x05", 1), 0u);
    EXPECT_EQ(TavopUsbWrite(Open(), "\x05", 1), 0u);
}

TEST_F(VirtualPrinter, UnplugAndPlugGiveNoticesToTheRegisteredWindow) {
    TavopRegistHandle(0x1234);
    ASSERT_GE(TavopNoticeDescriptor(), 0);
    Unplug();
    EXPECT_EQ(Take(), (Notices{kRemoved, kChanged}));
    PlugIn();
    EXPECT_EQ(Take(), Notices{kChanged});
    // Nobody registered: the changes are read but not handed out.
    TavopUnregistHandle();
    Unplug();
    EXPECT_EQ(Take(), Notices{});
    TavopRegistHandle(0x1234);
    PlugIn();
    EXPECT_EQ(Take(), Notices{kChanged});
    // Out and back before the program reads the notices: the stale removal spares a new link.
    const auto old = Open();
    Unplug();
    PlugIn();
    EXPECT_EQ(Take(), (Notices{kRemoved, kChanged, kChanged}));
    const auto fresh = Open();
    EXPECT_NE(TavopCheckMyDevice(fresh, kRemoved.second), 0u);
    EXPECT_EQ(TavopCheckMyDevice(old, kRemoved.second), 0u);
    EXPECT_EQ(TavopUsbWrite(fresh, "\x06", 1), 0u);
    EXPECT_NE(TavopUsbWrite(old, "\x06", 1), 0u);
}

// Names planted in the folder before a label is saved: none may be followed
// or replaced, and the label goes to the first number free for both files.
struct Planted {
    std::string name;
    std::vector<std::string> links; // names in the folder, linking to the victim
    std::vector<std::string> files; // plain files already there
    std::string savedAs;
    friend void PrintTo(const Planted& c, std::ostream* os) { *os << c.name; }
};
class PlantedNames : public VirtualPrinter, public testing::WithParamInterface<Planted> {};

TEST_P(PlantedNames, AreNeverFollowedNorReplaced) {
    const auto victim = folder_.parent_path() / "victim";
    const auto missing = folder_.parent_path() / "missing";
    std::ofstream(victim) << "keep";
    fs::create_directories(folder_);
    for (const auto& name : GetParam().links)
        fs::create_symlink(name.ends_with(".bin") ? missing : victim, folder_ / name);
    for (const auto& name : GetParam().files)
        std::ofstream(folder_ / name) << "";
    const auto handle = Open();
    for (const auto& [step, send, answer] : PrintJob(PackDots({{3, 3}})))
        Send(handle, send);
    std::ifstream kept(victim);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "keep");
    EXPECT_FALSE(fs::exists(fs::symlink_status(missing)));
    for (const auto& name : GetParam().links)
        EXPECT_TRUE(fs::is_symlink(folder_ / name)) << name;
    for (const auto* ext : {".png", ".bin"})
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder_ / (GetParam().savedAs + ext)))) << ext;
    // Nothing is left aside.
    for (const auto& entry : fs::directory_iterator(folder_))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << entry.path();
}

INSTANTIATE_TEST_SUITE_P(
    Names, PlantedNames,
    testing::Values(
        Planted{"LinkAtThePicture", {"label-0001.png"}, {}, "label-0002"},
        Planted{"DanglingLinkAtTheBytes", {"label-0001.bin"}, {}, "label-0002"},
        Planted{"LinksAtTheNextNumbersToo", {"label-0001.png", "label-0002.bin"}, {}, "label-0003"},
        Planted{"OldPartFileLinked", {"label-0001.bin.part", "label-0001.png.part"}, {}, "label-0001"},
        Planted{"GapAfterAnOldLabel", {}, {"label-0001.bin", "label-0003.png"}, "label-0002"}),
    named_cases::CaseName{});

// A folder the printer cannot save into: how it is spoiled, before the
// start or while a link is open.
struct Spoiled {
    std::string name;
    std::function<void(const fs::path&)> spoil;
    bool afterTheLinkOpened;
    friend void PrintTo(const Spoiled& c, std::ostream* os) { *os << c.name; }
};
class UnusableFolders : public VirtualPrinter, public testing::WithParamInterface<Spoiled> {};

TEST_P(UnusableFolders, MakeThePrinterAbsentAndAreToldOnce) {
    std::uint32_t handle = 0;
    testing::internal::CaptureStderr();
    if (GetParam().afterTheLinkOpened) {
        handle = Open();
        GetParam().spoil(folder_);
    } else {
        fs::remove_all(folder_);
        GetParam().spoil(folder_);
        tavopus::testing::Reset();
    }
    std::array<char, 256> name{};
    for (int call = 0; call < 3; ++call) {
        EXPECT_NE(TavopCheckActiveDevice(0, name.data()), 0u);
        std::uint32_t refused = 0;
        EXPECT_NE(TavopStartDevice(&refused, 0), 0u);
        EXPECT_NE(TavopUsbWrite(handle, "\x1B\x49", 2), 0u);
    }
    if (handle != 0) {
        EXPECT_EQ(TavopCheckMyDevice(handle, TAVOP_NODE_WORD(0)), 0u);
    }
    const auto told = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
    EXPECT_NE(told.find(folder_.string()), std::string::npos) << told;
}

const auto kFileInstead = [](const fs::path& folder) {
    fs::remove_all(folder);
    std::ofstream(folder) << "not a folder";
};
const auto kLinkToAFile = [](const fs::path& folder) {
    fs::remove_all(folder);
    std::ofstream(folder.string() + ".file") << "";
    fs::create_symlink(folder.string() + ".file", folder);
};
const auto kGone = [](const fs::path& folder) {
    fs::remove_all(folder);
};

INSTANTIATE_TEST_SUITE_P(Folders, UnusableFolders,
                         testing::Values(Spoiled{"FileInsteadAtTheStart", kFileInstead, false},
                                         Spoiled{"LinkToAFileAtTheStart", kLinkToAFile, false},
                                         Spoiled{"ReplacedByAFileWhileLinked", kFileInstead, true},
                                         Spoiled{"RemovedWhileLinked", kGone, true}),
                         named_cases::CaseName{});

TEST_F(VirtualPrinter, LabelThatCannotBeSavedFailsTheWriteAndEndsTheLink) {
    const auto handle = Open();
    testing::internal::CaptureStderr();
    const auto job = PrintJob(PackDots({}));
    for (std::size_t step = 0; step + 1 < job.size(); ++step) {
        const auto& [name, send, answer] = job[step];
        if (name == "EscN")
            kFileInstead(folder_);
        EXPECT_EQ(TavopUsbWrite(handle, send.data(), static_cast<std::uint32_t>(send.size())) == 0,
                  name != "EscN")
            << name;
    }
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(TavopCheckMyDevice(handle, TAVOP_NODE_WORD(0)), 0u);
}

// Given: after how many pauses of a blocked write the "stalled" file goes
// (-1: never); expected: whether the write goes and the link stays.
using Stall = std::tuple<std::string, int, bool>;
class StalledPrinter : public VirtualPrinter, public testing::WithParamInterface<Stall> {};

TEST_P(StalledPrinter, BlocksWritesUntilTheWriteWaitEndsTheLink) {
    const int liftAfter = std::get<1>(GetParam());
    const bool goes = std::get<2>(GetParam());
    const auto handle = Open();
    std::ofstream(folder_ / "stalled") << "";
    int pauses = 0;
    auto calls = tavopus::testing::RealSystemCalls();
    calls.poll = [&, real = calls.poll](pollfd* fds, nfds_t count, int timeoutMs) {
        if (count == 0 && ++pauses == liftAfter)
            fs::remove(folder_ / "stalled");
        return real(fds, count, timeoutMs);
    };
    tavopus::testing::SetSystemCalls(calls);
    EXPECT_EQ(TavopUsbWrite(handle, "\x1B\x49", 2) == 0, goes);
    EXPECT_GE(pauses, 1);
    // Ended: later calls fail without blocking again, and the device counts as gone.
    const int before = pauses;
    EXPECT_EQ(TavopUsbWrite(handle, "\x05", 1) == 0, goes);
    EXPECT_EQ(Read(handle, 1), goes ? Bytes{0x06} : Bytes{});
    EXPECT_EQ(TavopCheckMyDevice(handle, TAVOP_NODE_WORD(0)) == 0, !goes);
    if (!goes) {
        EXPECT_EQ(pauses, before);
    }
    // The printer itself is still there: a new link works once it takes bytes again.
    fs::remove(folder_ / "stalled");
    std::array<char, 256> printer{};
    EXPECT_EQ(TavopCheckActiveDevice(0, printer.data()), 0u);
    EXPECT_EQ(TavopUsbWrite(Open(), "\x05", 1), 0u);
}

INSTANTIATE_TEST_SUITE_P(Stalls, StalledPrinter,
                         testing::Values(Stall{"Never", -1, false}, Stall{"LiftedInTime", 2, true}),
                         [](const auto& row) { return std::get<0>(row.param); });

// A silent printer costs one reply window per write, however many reads follow.
TEST_F(VirtualPrinter, SilentReadsWaitOnlyWithinTheReplyWindow) {
    std::ofstream(folder_ / "silent") << "";
    tavopus::testing::SetTimeouts(40, 200);
    const auto handle = Open();
    std::vector<int> pauses;
    auto calls = tavopus::testing::RealSystemCalls();
    calls.poll = [&, real = calls.poll](pollfd* fds, nfds_t count, int timeoutMs) {
        pauses.push_back(timeoutMs);
        return real(fds, count, timeoutMs);
    };
    tavopus::testing::SetSystemCalls(calls);
    Send(handle, {0x1B, 0x47});
    for (int read = 0; read < 100; ++read)
        EXPECT_EQ(Read(handle, 1), Bytes{});
    ASSERT_EQ(pauses.size(), 1u);
    EXPECT_GT(pauses[0], 0);
    EXPECT_LE(pauses[0], 40);
}

} // namespace
