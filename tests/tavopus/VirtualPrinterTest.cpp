// The virtual printer: its replies, the labels it saves, and its silent and
// unplugged modes with the notices they give.
#include "tavopus/tavopus.h"
#include "tavopus/TavopusTesting.h"

#include "PngReader.h"
#include "support/NamedCases.h"

#include <poll.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Dot = std::pair<int, int>; // x, y

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

    void Touch(const char* name) { std::ofstream(folder_ / name) << ""; }
    void Remove(const char* name) { fs::remove(folder_ / name); }
    std::uint32_t Open() {
        std::uint32_t handle = 0;
        EXPECT_EQ(TavopStartDevice(&handle, 0), 0u);
        EXPECT_NE(handle, 0u);
        return handle;
    }

    fs::path folder_;
};

// Strips packed the way the program packs them, written here from the
// column rule rather than taken from the library.
std::array<Bytes, 3> PackDots(const std::vector<Dot>& dots) {
    std::array<Bytes, 3> strips{Bytes(1024), Bytes(1024), Bytes(1024)};
    for (const auto& [x, y] : dots)
        strips[static_cast<std::size_t>(x / 128)][static_cast<std::size_t>(8 * (x % 128) + y / 8)] |=
            static_cast<std::uint8_t>(1 << (y % 8));
    return strips;
}

Bytes ImageFrame(const Bytes& strip, bool last) {
    Bytes frame{0x02, static_cast<std::uint8_t>(last ? 0x80 : 0x00), 0x00, 0x04};
    frame.insert(frame.end(), strip.begin(), strip.end());
    frame.resize(1088, 0);
    return frame;
}

const Bytes kSetupFrame{0x02, 0x80, 0x0C, 0x00, 0x00, 0x00, 0x00, 0x04,
                        0x40, 0x00, 0x20, 0x00, 0x00, 0x0C, 0x00, 0x00};

// One step of a print job: what is sent (in 64-byte pieces when longer),
// how many bytes are then asked for, and what a printer answers.
struct Step {
    std::string name;
    Bytes send;
    std::uint32_t want;
    Bytes answer;
};

std::vector<Step> PrintJob(const std::array<Bytes, 3>& strips) {
    const Bytes ack{0x06};
    return {
        {"EscI", {0x1B, 0x49}, 1, ack},
        {"Enq", {0x05}, 8, Bytes(8, 0x00)},
        {"Ack", {0x06}, 1, ack},
        {"EscP", {0x1B, 0x50}, 1, ack},
        {"Setup", kSetupFrame, 1, ack},
        {"EscG", {0x1B, 0x47}, 1, ack},
        {"Strip1", ImageFrame(strips[0], false), 1, ack},
        {"Strip2", ImageFrame(strips[1], false), 1, ack},
        {"Strip3", ImageFrame(strips[2], true), 1, ack},
        {"EscN", {0x1B, 0x4E}, 1, ack},
        {"EscB", {0x1B, 0x42}, 1, ack},
    };
}

void Send(std::uint32_t handle, const Bytes& bytes) {
    for (std::size_t at = 0; at < bytes.size(); at += 64) {
        const auto piece = std::min<std::size_t>(64, bytes.size() - at);
        ASSERT_EQ(TavopUsbWrite(handle, bytes.data() + at, static_cast<std::uint32_t>(piece)), 0u);
    }
}

Bytes Read(std::uint32_t handle, std::uint32_t want) {
    Bytes reply(want, 0xAA);
    std::uint32_t count = want;
    TavopUsbRead(handle, reply.data(), &count);
    reply.resize(count);
    return reply;
}

struct ModeCase {
    std::string name;
    bool silent;
    friend void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.name; }
};

class VirtualReplies : public VirtualPrinter, public testing::WithParamInterface<ModeCase> {};

TEST_P(VirtualReplies, AnswerAfterEachStepAndNeverInPieces) {
    if (GetParam().silent)
        Touch("silent");
    const auto handle = Open();
    for (const auto& step : PrintJob(PackDots({}))) {
        SCOPED_TRACE(step.name);
        if (step.send.size() > 64) {
            // Nothing comes back before the whole frame is in.
            Send(handle, Bytes(step.send.begin(), step.send.end() - 64));
            EXPECT_EQ(Read(handle, 1), Bytes{});
            Send(handle, Bytes(step.send.end() - 64, step.send.end()));
        } else {
            Send(handle, step.send);
        }
        EXPECT_EQ(Read(handle, step.want), GetParam().silent ? Bytes{} : step.answer);
        EXPECT_EQ(Read(handle, 1), Bytes{}) << "one answer per step";
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, VirtualReplies,
                         testing::Values(ModeCase{"Answering", false}, ModeCase{"Silent", true}),
                         named_cases::CaseName{});

TEST_F(VirtualPrinter, StatusPollIsBusyUntilTheLabelIsPrinted) {
    const auto handle = Open();
    Send(handle, {0x1B, 0x47});
    EXPECT_EQ(Read(handle, 1), Bytes{0x06});
    Send(handle, {0x1B, 0x42});
    EXPECT_NE(Read(handle, 1), Bytes{0x06});
    Send(handle, {0x1B, 0x4E, 0x1B, 0x42});
    EXPECT_EQ(Read(handle, 2), (Bytes{0x06, 0x06}));
}

struct LabelCase {
    std::string name;
    std::vector<Dot> dots;
    friend void PrintTo(const LabelCase& c, std::ostream* os) { *os << c.name; }
};

class SavedLabels : public VirtualPrinter, public testing::WithParamInterface<LabelCase> {};

TEST_P(SavedLabels, PictureShowsTheDotsAndRawFileTheBytes) {
    const auto& c = GetParam();
    const auto handle = Open();
    Bytes sent;
    for (const auto& step : PrintJob(PackDots(c.dots))) {
        Send(handle, step.send);
        Read(handle, step.want);
        if (step.name != "EscB")
            sent.insert(sent.end(), step.send.begin(), step.send.end());
    }
    EXPECT_EQ(ReadBytes(folder_ / "label-0001.bin"), sent);

    std::string error;
    const auto picture = ReadPng(ReadBytes(folder_ / "label-0001.png"), error);
    ASSERT_TRUE(picture) << error;
    ASSERT_EQ(picture->width, 384);
    ASSERT_EQ(picture->height, 64);
    const std::set<Dot> wanted(c.dots.begin(), c.dots.end());
    int wrong = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 384; ++x)
            if (picture->Black(x, y) != wanted.contains({x, y}) && ++wrong <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y;
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Labels, SavedLabels,
    testing::Values(LabelCase{"Empty", {}}, LabelCase{"TopLeftDot", {{0, 0}}},
                    LabelCase{"StripEdges", {{127, 0}, {128, 63}, {255, 7}, {256, 8}, {383, 63}}},
                    LabelCase{"OneColumn", {{200, 0}, {200, 1}, {200, 2}, {200, 31}, {200, 32}, {200, 62}}},
                    LabelCase{"BottomRow",
                              [] {
                                  std::vector<Dot> row;
                                  for (int x = 0; x < 384; x += 3)
                                      row.emplace_back(x, 63);
                                  return row;
                              }()}),
    named_cases::CaseName{});

TEST_F(VirtualPrinter, EachLabelGetsTheNextFreeNumber) {
    fs::create_directories(folder_);
    Touch("label-0001.png"); // left from an earlier run
    const auto handle = Open();
    for (int job = 0; job < 2; ++job)
        for (const auto& step : PrintJob(PackDots({{job, 0}})))
            Send(handle, step.send);
    EXPECT_EQ(fs::file_size(folder_ / "label-0001.png"), 0u);
    for (const auto* name : {"label-0002.png", "label-0002.bin", "label-0003.png", "label-0003.bin"})
        EXPECT_TRUE(fs::exists(folder_ / name)) << name;
    EXPECT_FALSE(fs::exists(folder_ / "label-0004.png"));
}

TEST_F(VirtualPrinter, JobWithoutAllStripsSavesNothing) {
    const auto handle = Open();
    auto job = PrintJob(PackDots({{0, 0}}));
    for (const auto& step : job)
        if (step.name != "Strip3")
            Send(handle, step.send);
    EXPECT_FALSE(fs::exists(folder_ / "label-0001.png"));
}

TEST_F(VirtualPrinter, UnpluggedIsGoneAndItsLinkWithIt) {
    const auto handle = Open();
    std::array<char, 256> name{};
    ASSERT_EQ(TavopCheckActiveDevice(0, name.data()), 0u);
    EXPECT_EQ(std::string(name.data()).rfind("ORBEK", 0), 0u);

    Touch("unplugged");
    EXPECT_NE(TavopCheckActiveDevice(0, name.data()), 0u);
    std::uint32_t other = 0;
    EXPECT_NE(TavopStartDevice(&other, 0), 0u);
    EXPECT_NE(TavopCheckMyDevice(handle, TAVOP_NODE_WORD(1)), 0u);
    EXPECT_EQ(TavopCheckMyDevice(handle, TAVOP_NODE_WORD(0)), 0u);
    const std::uint8_t enq = 0x05;
    EXPECT_NE(TavopUsbWrite(handle, &enq, 1), 0u);

    // Back again: the old link stays dead, a new one works.
    Remove("unplugged");
    EXPECT_EQ(TavopCheckActiveDevice(0, name.data()), 0u);
    EXPECT_NE(TavopUsbWrite(handle, &enq, 1), 0u);
    const auto fresh = Open();
    EXPECT_EQ(TavopUsbWrite(fresh, &enq, 1), 0u);
    EXPECT_EQ(Read(fresh, 8), Bytes(8, 0));
}

TEST_F(VirtualPrinter, OnlyNumberZeroAnswers) {
    std::array<char, 256> name{};
    for (int n : {1, 2, 126, 127, -1})
        EXPECT_NE(TavopCheckActiveDevice(n, name.data()), 0u) << n;
}

struct Notice {
    std::uint32_t event;
    std::uint32_t word;
    bool operator==(const Notice&) const = default;
    friend void PrintTo(const Notice& n, std::ostream* os) { *os << std::hex << n.event << "/" << n.word; }
};

std::vector<Notice> TakeNotices() {
    std::vector<Notice> taken;
    Notice n{};
    while (TavopTakeNotice(&n.event, &n.word) == 0)
        taken.push_back(n);
    return taken;
}

bool Readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 1000) == 1;
}

const Notice kRemoved{TAVOP_DEVICEREMOVECOMPLETE, TAVOP_NODE_WORD(0)};
const Notice kChanged{TAVOP_DEVNODES_CHANGED, 0};

TEST_F(VirtualPrinter, UnplugAndPlugGiveNoticesToTheRegisteredWindow) {
    TavopRegistHandle(0x1234);
    const int fd = TavopNoticeDescriptor();
    ASSERT_GE(fd, 0);
    EXPECT_EQ(TakeNotices(), std::vector<Notice>{});

    Touch("unplugged");
    ASSERT_TRUE(Readable(fd));
    EXPECT_EQ(TakeNotices(), (std::vector<Notice>{kRemoved, kChanged}));
    Remove("unplugged");
    ASSERT_TRUE(Readable(fd));
    EXPECT_EQ(TakeNotices(), std::vector<Notice>{kChanged});

    // Nobody registered: the changes are read but not handed out.
    TavopUnregistHandle();
    Touch("unplugged");
    ASSERT_TRUE(Readable(fd));
    EXPECT_EQ(TakeNotices(), std::vector<Notice>{});
    TavopRegistHandle(0x1234);
    Remove("unplugged");
    ASSERT_TRUE(Readable(fd));
    EXPECT_EQ(TakeNotices(), std::vector<Notice>{kChanged});
}

TEST_F(VirtualPrinter, StaleRemovalAfterQuickReplugSparesTheNewLink) {
    TavopRegistHandle(1);
    ASSERT_GE(TavopNoticeDescriptor(), 0);
    const auto old = Open();
    Touch("unplugged");
    Remove("unplugged");
    // The program is busy; by the time it reads the notices the printer is back.
    EXPECT_EQ(TakeNotices(), (std::vector<Notice>{kRemoved, kChanged, kChanged}));
    const auto fresh = Open();
    EXPECT_NE(TavopCheckMyDevice(fresh, kRemoved.word), 0u);
    EXPECT_EQ(TavopCheckMyDevice(old, kRemoved.word), 0u);
    const std::uint8_t ack = 0x06;
    EXPECT_EQ(TavopUsbWrite(fresh, &ack, 1), 0u);
    EXPECT_NE(TavopUsbWrite(old, &ack, 1), 0u);
}

} // namespace
