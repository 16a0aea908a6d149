// The virtual printer: its replies, the labels it saves from the program's
// own print job, and its silent, unplugged and stalled modes with the notices
// they give.
#include "tavopus/tavopus.h"
#include "tavopus/TavopusTesting.h"
#include "files/System.h"

#include "platform/TickCount.h"
#include "print/LabelImage.h"
#include "print/LabelPrintJob.h"
#include "print/PrinterLink.h"
#include "support/TempFolder.h"

#include <png.h>
#include <poll.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;
using Notice = std::pair<std::uint32_t, std::uint32_t>; // event, data word
using Notices = std::vector<Notice>;

const Notice kRemoved{TAVOP_DEVICEREMOVECOMPLETE, TAVOP_NODE_WORD(0)};
const Notice kChanged{TAVOP_DEVNODES_CHANGED, 0};

Bytes ReadBytes(const fs::path& file) {
    const std::string bytes = ReadWhole(file);
    return {bytes.begin(), bytes.end()};
}
// The bytes of the label whose only dot is the top-left one, as the program sends them.
const Bytes kJob = ReadBytes(Q8XJ_LABEL_JOB);

// A saved picture through libpng's own decoder, one grey byte a pixel; empty unless 384 x 64.
Bytes Grey(const fs::path& file) {
    const Bytes png = ReadBytes(file);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Bytes grey;
    if (png_image_begin_read_from_memory(&image, png.data(), png.size())) {
        image.format = PNG_FORMAT_GRAY;
        grey.resize(PNG_IMAGE_SIZE(image));
        png_image_finish_read(&image, nullptr, grey.data(), 0, nullptr);
    }
    return image.width == 384 && image.height == 64 ? grey : Bytes{};
}

// The real system calls, but each pause is seen first, while it lives.
struct OnPause : files::System {
    explicit OnPause(std::function<void()> onPause)
        : seen(std::move(onPause)) {
        Replace(this);
    }
    ~OnPause() override { Replace(nullptr); }
    int Poll(pollfd* fds, nfds_t count, int timeoutMs) override {
        if (count == 0)
            seen();
        return System::Poll(fds, count, timeoutMs);
    }
    std::function<void()> seen;
};

class CountingLibrary : public PrinterLibrary {
public:
    std::uint32_t UsbRead(std::uint32_t handle, void* buffer, std::uint32_t* count) override {
        ++reads;
        return PrinterLibrary::UsbRead(handle, buffer, count);
    }
    int reads = 0;
};

class VirtualPrinter : public testing::Test {
protected:
    void SetUp() override {
        setenv("TAVOPUS_VIRTUAL", folder_.c_str(), 1);
        tavopus::testing::Reset();
        tavopus::testing::SetTimeouts(5, 200);
        platform::SetSleepFunction([](std::uint32_t) {});
    }
    void TearDown() override {
        platform::SetSleepFunction({});
        unsetenv("TAVOPUS_VIRTUAL");
        tavopus::testing::Reset();
    }
    void Touch(const std::string& name) { WriteWhole(folder_ / name, ""); }
    static std::uint32_t Open() {
        std::uint32_t handle = 0;
        EXPECT_EQ(TavopStartDevice(&handle, 0), 0u);
        return handle;
    }
    static bool Present() {
        std::array<char, 256> name{};
        return TavopCheckActiveDevice(0, name.data()) == 0;
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
    static bool Send(std::uint32_t handle, std::span<const std::uint8_t> bytes) {
        return TavopUsbWrite(handle, bytes.data(), static_cast<std::uint32_t>(bytes.size())) == 0;
    }
    static Bytes Read(std::uint32_t handle, std::size_t want) {
        Bytes reply(want, 0xAA);
        auto count = static_cast<std::uint32_t>(want);
        TavopUsbRead(handle, reply.data(), &count);
        reply.resize(count);
        return reply;
    }

    TempFolder temp_{"tavopus-virtual"};
    const fs::path folder_ = temp_.Path() / "labels"; // made by the library
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
        const auto handle = Open();
        int pauses = 0;
        OnPause seen([&] { ++pauses; });
        for (const auto& [send, answer] : steps) {
            ASSERT_TRUE(Send(handle, send.first(send.size() / 2)));
            EXPECT_EQ(Read(handle, 1), Bytes{});
            ASSERT_TRUE(Send(handle, send.subspan(send.size() / 2)));
            EXPECT_EQ(Read(handle, answer.size()), silent ? Bytes{} : answer);
            EXPECT_EQ(Read(handle, 1), Bytes{});
        }
        EXPECT_TRUE(!silent || pauses == 2 * std::ssize(steps)) << pauses;
    }
    // Everything from ESC I to ESC N is kept, the busy query with it.
    Bytes kept(kJob.begin(), kJob.end() - 2);
    kept.insert(kept.end(), {0x1B, 0x42, 0x1B, 0x4E});
    EXPECT_EQ(ReadBytes(folder_ / "label-0001.bin"), kept);
    EXPECT_EQ(ReadBytes(folder_ / "label-0002.bin"), kept);
}

// Any label through the program's job is the picture saved. Every wait ends
// at the first acknowledgement (five set-up replies, the waits after ESC G and
// each strip, the reply to ESC N); a silent printer runs each one out.
TEST_F(VirtualPrinter, SavesTheLabelOfTheProgramsJob) {
    std::mt19937 random(3);
    for (const auto& [silent, reads] : {std::pair{false, 5 + 1 + 3 + 1}, {true, 5 + 100 + 3 * 100 + 1}}) {
        SCOPED_TRACE(silent);
        if (silent)
            Touch("silent");
        LabelImage label;
        for (int dot = 0; dot < 500; ++dot)
            label.SetDot(static_cast<int>(random() % 384), static_cast<int>(random() % 64), true);
        CountingLibrary library;
        PrinterLink link(library);
        ASSERT_TRUE(link.Open(0));
        RunLabelPrintJob(link, PackLabel(label.Data()));
        EXPECT_EQ(library.reads, reads);
        const Bytes grey = Grey(folder_ / (silent ? "label-0002.png" : "label-0001.png"));
        ASSERT_EQ(grey.size(), 384u * 64);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 384; ++x)
                ASSERT_EQ(grey[y * 384 + x] == 0, label.Dot(x, y)) << x << "," << y;
    }
}

// Unplugged, the printer is gone with its link, and a removal notice names it;
// plugged in again, the old link stays dead and a new one works, which a stale
// notice spares. Notices reach only a registered window.
TEST_F(VirtualPrinter, UnplugAndPlugGiveNoticesToTheRegisteredWindow) {
    const auto unplug = [&] {
        Touch("unplugged");
    };
    const auto plugIn = [&] {
        fs::remove(folder_ / "unplugged");
    };
    std::array<char, 256> name{};
    EXPECT_NE(TavopCheckActiveDevice(1, name.data()), 0u);
    TavopRegistHandle(0x1234);
    ASSERT_GE(TavopNoticeDescriptor(), 0);
    const auto old = Open();
    unplug();
    EXPECT_EQ(Take(), (Notices{kRemoved, kChanged}));
    EXPECT_FALSE(Present());
    std::uint32_t refused = 0;
    EXPECT_NE(TavopStartDevice(&refused, 0), 0u);
    EXPECT_NE(TavopCheckMyDevice(old, TAVOP_NODE_WORD(1)), 0u);
    EXPECT_EQ(TavopCheckMyDevice(old, kRemoved.second), 0u);
    plugIn();
    EXPECT_EQ(Take(), Notices{kChanged});
    TavopUnregistHandle();
    unplug();
    EXPECT_EQ(Take(), Notices{});
    TavopRegistHandle(0x1234);
    plugIn();
    EXPECT_EQ(Take(), Notices{kChanged});
    // Out and back before the program reads the notices.
    const auto before = Open();
    unplug();
    plugIn();
    EXPECT_EQ(Take(), (Notices{kRemoved, kChanged, kChanged}));
    const auto fresh = Open();
    EXPECT_NE(TavopCheckMyDevice(fresh, kRemoved.second), 0u);
    EXPECT_EQ(TavopCheckMyDevice(before, kRemoved.second), 0u);
    EXPECT_TRUE(Send(fresh, Bytes{0x06}));
    EXPECT_FALSE(Send(old, Bytes{0x06}));
    EXPECT_FALSE(Send(before, Bytes{0x06}));
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
        {{"label-0001.png"}, {}, "label-0002"},
        {{"label-0001.bin"}, {}, "label-0002"}, // dangling
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
        tavopus::testing::Reset();
        const auto handle = Open();
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
        tavopus::testing::Reset();
        std::uint32_t handle = afterTheLinkOpened ? Open() : 0;
        testing::internal::CaptureStderr();
        EXPECT_EQ(Send(handle, std::span(kJob).first(kJob.size() - 2)), handle != 0);
        fs::remove_all(folder_);
        WriteWhole(folder_, "not a folder");
        if (handle == 0)
            tavopus::testing::Reset();
        for (int call = 0; call < 3; ++call) {
            EXPECT_FALSE(Present());
            std::uint32_t refused = 0;
            EXPECT_NE(TavopStartDevice(&refused, 0), 0u);
            EXPECT_FALSE(Send(handle, std::span(kJob).last(2)));
        }
        EXPECT_EQ(TavopCheckMyDevice(handle, TAVOP_NODE_WORD(0)) == 0, afterTheLinkOpened);
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
        const auto handle = Open();
        Touch("stalled");
        int pauses = 0;
        std::optional<OnPause> seen([&] {
            if (++pauses == liftAfter)
                fs::remove(folder_ / "stalled");
        });
        EXPECT_EQ(Send(handle, Bytes{0x1B, 0x49}), goes);
        EXPECT_GE(pauses, 1);
        const int before = pauses;
        EXPECT_EQ(Send(handle, Bytes{0x05}), goes);
        EXPECT_EQ(Read(handle, 1), goes ? Bytes{0x06} : Bytes{});
        EXPECT_EQ(TavopCheckMyDevice(handle, TAVOP_NODE_WORD(0)) == 0, !goes);
        EXPECT_TRUE(goes || pauses == before);
        fs::remove(folder_ / "stalled");
        seen.reset();
        EXPECT_TRUE(Present() && Send(Open(), Bytes{0x05}));
    }
}

} // namespace
