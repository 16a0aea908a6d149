// The Qt-free print core: which fonts can be made, which style a new face
// takes, the label's dots and strips, the label job and the status poll.
#include "print/FontDescription.h"
#include "print/FontStyleChoice.h"
#include "print/LabelImage.h"
#include "print/LabelPrintJob.h"
#include "print/PrinterLibrary.h"
#include "print/PrinterLink.h"
#include "print/StatusPoll.h"

#include "platform/TickCount.h"
#include "support/Sjis.h"
#include "support/TempFolder.h"
#include "tavopus/LabelImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

TEST(FontDescription, CreatableAsTheFieldsAllow) {
    struct Row {
        const char* name;
        std::string face;
        int height, width, weight;
        bool creatable;
    } const rows[] = {
        {"largest values", "", -4096, 4096, 1000, true},
        {"Japanese face", Sjis("ＭＳ Ｐゴシック"), 20, -30, 400, true},
        {"half-width katakana face", "\xBA\xDE", -48, 0, 0, true},
        {"face of 31 bytes", std::string(31, 'a'), -48, 0, 0, true},
        {"face of 32 bytes", std::string(32, 'a'), -48, 0, 0, false},
        {"half a character", Sjis("ゴシック").substr(0, 7), -48, 0, 0, false},
        {"NUL byte", std::string("ab\0cd", 5), -48, 0, 0, false},
        {"byte that is no character", "a\xA0", -48, 0, 0, false},
        {"height", "", -4097, 0, 0, false},
        {"cell height", "", 4097, 0, 0, false},
        {"width", "", 0, -4097, 0, false},
        {"weight", "", 0, 0, 1001, false},
        {"negative weight", "", 0, 0, -1, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FontDescription font;
        font.faceName = row.face;
        font.height = row.height;
        font.width = row.width;
        font.weight = row.weight;
        EXPECT_EQ(IsCreatable(font), row.creatable);
    }
}

TEST(FontStyleChoice, KeepsTheStyleOrTakesTheRegularOne) {
    const std::vector<std::string> serif{"Bold", "Bold Italic", "Book", "Condensed Italic", "Italic"};
    const std::vector<std::string> sans{"Bold", "Bold Oblique", "Book", "ExtraLight", "Oblique"};
    struct Row {
        std::vector<std::string> styles;
        std::string current, expected;
    } const rows[] = {
        {serif, "Condensed Italic", "Condensed Italic"},
        {sans, "Italic", "Oblique"},
        {serif, "Bold Oblique", "Bold Italic"},
        {sans, "bold italic", "Bold Oblique"},
        {sans, "Condensed Italic", "Book"},
        {{"Black", "Medium", "Regular", "Thin"}, "Light", "Regular"},
        {{"Black", "Medium", "Thin"}, "Light", "Medium"},
        {{"Bold", "REGULAR"}, "Light", "REGULAR"},
        {{"Bold Condensed", "Bold"}, "Light", "Bold"},
        {{"W3"}, "Bold", "W3"},
        {{}, "Bold", ""},
        {serif, "", "Book"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.current + " -> " + row.expected);
        EXPECT_EQ(ChooseFaceStyle(row.styles, row.current), row.expected);
    }
}

// The program's packing undone by the library's own unpacking gives the dots back.
TEST(LabelImage, DotsStayInsideAndPackingRoundTrips) {
    LabelImage label;
    for (const auto& [x, y] : {std::pair{-1, 0}, {384, 0}, {0, -1}, {0, 64}, {5, 10}})
        label.SetDot(x, y, true);
    EXPECT_EQ(label.DotCount(), 1U);
    EXPECT_TRUE(label.Dot(5, 10));
    EXPECT_FALSE(label.Dot(384, 0));
    std::mt19937 random(7);
    for (int dot = 0; dot < 2000; ++dot)
        label.SetDot(static_cast<int>(random() % 384), static_cast<int>(random() % 64), true);
    std::vector<std::uint8_t> packed;
    for (const PackedStrip& strip : PackLabel(label.Data()))
        packed.insert(packed.end(), strip.begin(), strip.end());
    const tavopus::LabelDots back = tavopus::UnpackStrips(std::span<const std::uint8_t, 3072>(packed));
    EXPECT_TRUE(std::equal(back.begin(), back.end(), label.Data().begin(), label.Data().end()));
}

std::string Repeat(const std::string& text, int times) {
    return times == 0 ? "" : text + Repeat(text, times - 1);
}

// Traces writes, reads and pauses ("W2 P10 R1 "), keeps every byte written,
// and answers each read with the next letter of `answers`, then with
// `fallback`: A 06, N 15, - nothing.
class FakePrinterLibrary : public PrinterLibrary {
public:
    FakePrinterLibrary() {
        platform::SetSleepFunction([this](std::uint32_t ms) { trace += "P" + std::to_string(ms) + " "; });
    }
    ~FakePrinterLibrary() override { platform::SetSleepFunction({}); }

    std::uint32_t StartDevice(std::uint32_t* handle, std::int32_t) override {
        *handle = kHandle;
        return 0;
    }
    std::uint32_t EndDevice(std::uint32_t) override { return 0; }
    std::uint32_t UsbWrite(std::uint32_t handle, const void* bytes, std::uint32_t count) override {
        EXPECT_EQ(handle, kHandle);
        written.append(static_cast<const char*>(bytes), count);
        trace += "W" + std::to_string(count) + " ";
        return ++writes == failAtWrite ? 1 : 0;
    }
    std::uint32_t UsbRead(std::uint32_t handle, void* buffer, std::uint32_t* count) override {
        EXPECT_EQ(handle, kHandle);
        const std::span reply(static_cast<std::uint8_t*>(buffer), *count);
        EXPECT_EQ(std::count(reply.begin(), reply.end(), 0), std::ssize(reply)) << "reply not cleared";
        trace += "R" + std::to_string(reply.size()) + " ";
        const char answer = answers.empty() ? fallback : answers[0];
        answers.erase(0, 1);
        if (answer != '-')
            reply[0] = answer == 'A' ? 0x06 : 0x15;
        return 0;
    }

    static constexpr std::uint32_t kHandle = 0x51;
    std::string answers;
    char fallback = '-';
    int writes = 0;
    int failAtWrite = 0; // the write that times out, counting from 1; 0: none
    std::string written;
    std::string trace;
};

// A link opened on the fake library.
struct FakeLink {
    FakeLink() { EXPECT_TRUE(link.Open(0)); }
    FakePrinterLibrary library;
    PrinterLink link{library};
};

// I initialising, P setting up, S<n> sending strip n, A<n> strip n acknowledged, E ending.
std::string Events(FakeLink& fake, const std::array<PackedStrip, kStripCount>& strips, bool& sent) {
    std::string events;
    sent = RunLabelPrintJob(fake.link, strips, [&](JobEvent event, int strip) {
        events += "IPSAE"[static_cast<int>(event)] + (strip != 0 ? std::to_string(strip) : "") + " ";
    });
    return events;
}

// The bytes sent for the label whose only dot is the top-left one are the kept job's.
TEST(LabelPrintJob, SendsEverythingWithItsPausesAndReadsAndTellsItsStages) {
    const std::string frame = Repeat("W64 ", 17);
    struct Row {
        const char* name;
        char fallback;
        std::string strips; // the trace from the first image frame to ESC N
        std::string events;
    } const rows[] = {
        {"acknowledged at once", 'A', "R1 " + Repeat(frame + "P50 R1 ", 3), "I P S1 A1 S2 A2 S3 A3 E "},
        // Each wait gives up after 100 reads and the sequence goes on.
        {"silent", '-', Repeat("R1 ", 100) + Repeat(frame + Repeat("P50 R1 ", 100), 3), "I P S1 S2 S3 E "},
    };
    LabelImage label;
    label.SetDot(0, 0, true);
    const std::string job = ReadWhole(Q8XJ_LABEL_JOB);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakeLink fake;
        fake.library.fallback = row.fallback;
        bool sent = false;
        EXPECT_EQ(Events(fake, PackLabel(label.Data()), sent), row.events);
        EXPECT_TRUE(sent && fake.link.IsOpen());
        EXPECT_EQ(fake.library.trace, "W2 P10 R1 P10 W1 P10 R8 W1 P10 R1 W2 P10 R1 W16 P10 R1 W2 P10 " +
                                          row.strips + "P100 W2 P150 R1 ");
        EXPECT_EQ(fake.library.written, job);
    }
}

// A failed write ends the job there and the link with it, whichever write it is.
TEST(LabelPrintJob, StopsAtTheFirstFailedWrite) {
    FakeLink whole;
    whole.library.fallback = 'A';
    RunLabelPrintJob(whole.link, {});
    for (const int failAt : {1, 5, 6 + 17 + 1, 6 + 3 * 17 + 1}) {
        SCOPED_TRACE(failAt);
        FakeLink fake;
        fake.library.fallback = 'A';
        fake.library.failAtWrite = failAt;
        EXPECT_FALSE(RunLabelPrintJob(fake.link, {}));
        EXPECT_FALSE(fake.link.IsOpen());
        EXPECT_EQ(fake.library.trace, whole.library.trace.substr(0, fake.library.trace.size()));
        EXPECT_EQ(fake.library.writes, failAt);
    }
}

// K keep polling, S stop silently, F stop and report finished; each stop,
// silent or not, starts the count afresh.
TEST(StatusPoll, StopsAtTheAcknowledgeOrAfterTwentyUnanswered) {
    const std::string giveUp = std::string(20, 'K') + "S";
    struct Row {
        std::string answers; // one a tick
        std::string outcomes;
    } const rows[] = {
        {std::string(21, 'N') + std::string(21, '-'), giveUp + giveUp},
        {std::string(20, '-') + "A" + std::string(21, '-'), std::string(20, 'K') + "F" + giveUp},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.outcomes);
        FakeLink fake;
        StatusPoll poll;
        std::string outcomes;
        for (char a : row.answers) {
            fake.library.answers = a;
            outcomes += "KSF"[static_cast<int>(poll.Tick(fake.link))];
        }
        EXPECT_EQ(outcomes, row.outcomes);
        // Each tick asks with ESC B and reads one byte at once.
        EXPECT_EQ(fake.library.trace, Repeat("W2 R1 ", static_cast<int>(row.answers.size())));
        EXPECT_EQ(fake.library.written, Repeat("\x1B\x42", static_cast<int>(row.answers.size())));
    }
}

} // namespace
