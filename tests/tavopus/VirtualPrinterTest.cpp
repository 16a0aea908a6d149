// The virtual printer: its replies, the labels it saves, and its silent and
// unplugged modes with the notices they give.
#include "tavopus/tavopus.h"
#include "tavopus/TavopusTesting.h"

#include "PngReader.h"

#include <poll.h>

#include <gtest/gtest.h>

#include <array>
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
        std::string pattern = (fs::temp_directory_path() / "tavopus-virtual-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = fs::path(pattern) / "labels"; // made by the library
        setenv("TAVOPUS_VIRTUAL", folder_.c_str(), 1);
        tavopus::testing::Reset();
    }
    void TearDown() override {
        unsetenv("TAVOPUS_VIRTUAL");
        tavopus::testing::Reset();
        fs::remove_all(folder_.parent_path());
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

    fs::path folder_;
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

} // namespace
