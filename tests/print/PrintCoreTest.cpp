// The Qt-free print core: which fonts can be made, which style a new face
// takes, the label's dots and strips, the label job and the status poll.
#include "print/FontDescription.h"
#include "print/FontStyleChoice.h"
#include "print/LabelImage.h"
#include "print/LabelPrintJob.h"
#include "print/PrinterLibrary.h"
#include "print/PrinterLink.h"
#include "print/StatusPoll.h"

#include "platform/Clock.h"
#include "support/TempFolder.h"
#include "tavopus/LabelImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

TEST(FontDescription, CreatableAsTheFieldsAllow) {
    struct Row {
        const char* name;
        FontDescription font;
        bool creatable;
    } const rows[] = {
        {"largest values", {.height = -4096, .width = 4096, .weight = 1000, .faceName = ""}, true},
        {"Japanese face", {.height = 20, .width = -30, .faceName = std::string("ＭＳ Ｐゴシック")}, true},
        {"face of 31 bytes", {.faceName = std::string(31, 'a')}, true},
        {"face of 32 bytes", {.faceName = std::string(32, 'a')}, false},
        {"half a character", {.faceName = std::string("ゴシック").substr(0, 7)}, false},
        {"NUL byte", {.faceName = std::string("ab\0cd", 5)}, false},
        {"height", {.height = -4097, .faceName = ""}, false},
        {"cell height", {.height = 4097, .faceName = ""}, false},
        {"width", {.width = -4097, .faceName = ""}, false},
        {"weight", {.weight = 1001, .faceName = ""}, false},
        {"negative weight", {.weight = -1, .faceName = ""}, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(IsCreatable(row.font), row.creatable);
    }
}

TEST(FontStyleChoice, KeepsTheStyleOrTakesTheRegularOne) {
    struct Row {
        std::vector<std::string> styles;
        std::string current, expected;
    } const rows[] = {
        {{"Italic", "Oblique"}, "Oblique", "Oblique"},
        {{"Book", "Oblique"}, "ITALIC", "Oblique"},
        {{"Bold", "Book"}, "Condensed Italic", "Book"},
        {{"Black", "Medium", "REGULAR", "Thin"}, "Light", "REGULAR"},
        {{"Black", "Medium", "Thin"}, "Light", "Medium"},
        {{"Bold Condensed", "Bold"}, "Light", "Bold"},
        {{}, "Bold", ""},
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
    EXPECT_TRUE(label.Dot(5, 10) && !label.Dot(389, 9)); // the latter's index is the former's
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
// and answers each read with `answer`: A 06, N 15, - nothing. Its link is open.
class FakePrinterLibrary : public PrinterLibrary, public platform::Clock {
public:
    FakePrinterLibrary() {
        PrinterLibrary::Replace(this);
        Clock::Replace(this);
        EXPECT_TRUE(link.Open(0));
    }
    ~FakePrinterLibrary() override {
        link.Close();
        PrinterLibrary::Replace(nullptr);
        Clock::Replace(nullptr);
    }

    void Pause(std::chrono::milliseconds ms) override { trace += "P" + std::to_string(ms.count()) + " "; }

    std::uint32_t StartDevice(std::uint32_t* handle, std::int32_t) override {
        *handle = 1;
        return 0;
    }
    std::uint32_t UsbWrite(std::uint32_t, const void* bytes, std::uint32_t count) override {
        written.append(static_cast<const char*>(bytes), count);
        trace += "W" + std::to_string(count) + " ";
        return ++writes == failAtWrite ? 1 : 0;
    }
    std::uint32_t UsbRead(std::uint32_t, void* buffer, std::uint32_t* count) override {
        const std::span reply(static_cast<std::uint8_t*>(buffer), *count);
        EXPECT_EQ(std::count(reply.begin(), reply.end(), 0), std::ssize(reply)) << "reply not cleared";
        trace += "R" + std::to_string(reply.size()) + " ";
        if (answer != '-')
            reply[0] = answer == 'A' ? 0x06 : 0x15;
        return 0;
    }

    char answer = '-';
    int writes = 0;
    int failAtWrite = 0; // the write that times out, counting from 1; 0: none
    std::string written;
    std::string trace;
    PrinterLink link;
};

// The bytes sent for the label whose only dot is the top-left one are the kept
// job's. Events: I initialising, P setting up, S<n> sending strip n, A<n> strip
// n acknowledged, E ending.
TEST(LabelPrintJob, SendsEverythingWithItsPausesAndReadsAndTellsItsStages) {
    const std::string frame = Repeat("W64 ", 17);
    struct Row {
        const char* name;
        char answer;
        std::string strips; // the trace from the first image frame to ESC N
        std::string events;
    } const rows[] = {
        {"acknowledged at once", 'A', "R1 " + Repeat(frame + "P50 R1 ", 3), "I P S1 A1 S2 A2 S3 A3 E "},
        // Each wait gives up after 100 reads and the sequence goes on.
        {"silent", '-', Repeat("R1 ", 100) + Repeat(frame + Repeat("P50 R1 ", 100), 3), "I P S1 S2 S3 E "},
    };
    LabelImage label;
    label.SetDot(0, 0, true);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        FakePrinterLibrary fake;
        fake.answer = row.answer;
        std::string events;
        const bool sent =
            RunLabelPrintJob(fake.link, PackLabel(label.Data()), [&](JobEvent event, int strip) {
                events += "IPSAE"[static_cast<int>(event)] + (strip != 0 ? std::to_string(strip) : "") + " ";
            });
        EXPECT_EQ(events, row.events);
        EXPECT_TRUE(sent && fake.link.IsOpen());
        EXPECT_EQ(fake.trace, "W2 P10 R1 P10 W1 P10 R8 W1 P10 R1 W2 P10 R1 W16 P10 R1 W2 P10 " + row.strips +
                                  "P100 W2 P150 R1 ");
        EXPECT_EQ(fake.written, ReadWhole(Q8XJ_LABEL_JOB));
    }
}

// A failed write, of a command or of an image frame, ends the job there and the link with it.
TEST(LabelPrintJob, StopsAtTheFirstFailedWrite) {
    for (const int failAt : {5, 6 + 17 + 1}) {
        SCOPED_TRACE(failAt);
        FakePrinterLibrary fake;
        fake.failAtWrite = failAt;
        EXPECT_FALSE(RunLabelPrintJob(fake.link, {}));
        EXPECT_TRUE(!fake.link.IsOpen() && fake.writes == failAt) << fake.writes;
    }
}

// K keep polling, S stop silently, F stop and report finished; each stop,
// silent or not, starts the count afresh, and a refusal (N) acknowledges nothing.
TEST(StatusPoll, StopsAtTheAcknowledgeOrAfterTwentyUnanswered) {
    const std::string answers = std::string(20, '-') + "A" + std::string(21, 'N') + std::string(21, '-');
    const std::string giveUp = std::string(20, 'K') + "S";
    FakePrinterLibrary fake;
    StatusPoll poll;
    std::string outcomes;
    for (const char answer : answers) {
        fake.answer = answer;
        outcomes += "KSF"[static_cast<int>(poll.Tick(fake.link))];
    }
    EXPECT_EQ(outcomes, std::string(20, 'K') + "F" + giveUp + giveUp);
    // Each tick asks with ESC B and reads one byte at once.
    EXPECT_EQ(fake.trace, Repeat("W2 R1 ", 63));
    EXPECT_EQ(fake.written, Repeat("\x1B\x42", 63));
}

} // namespace
