#include "print/LabelPrintJob.h"

#include "print/PrinterLibrary.h"
#include "print/PrinterLink.h"

#include "platform/TickCount.h"
#include "print/StatusPoll.h"
#include "support/NamedCases.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string Repeat(const std::string& text, int times) {
    return times == 0 ? "" : text + Repeat(text, times - 1);
}

// Traces writes, reads and pauses ("W2 P10 R1 ") and answers each read with
// the next letter of `answers`, then with `fallback`: A 06, N 15, - nothing.
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
        const auto* first = static_cast<const std::uint8_t*>(bytes);
        last.assign(first, first + count);
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
        if (answer != '-') {
            reply[0] = answer == 'A' ? 0x06 : 0x15;
        }
        return 0;
    }

    static constexpr std::uint32_t kHandle = 0x51;
    std::string answers;
    char fallback = '-';
    int writes = 0;
    int failAtWrite = 0; // the write that times out, counting from 1; 0: none
    std::vector<std::uint8_t> last;
    std::string trace;
};

// A link opened on the fake library.
struct FakeLink {
    FakeLink() { EXPECT_TRUE(link.Open(0)); }
    FakePrinterLibrary library;
    PrinterLink link{library};
};

struct SequenceCase {
    const char* name;
    char fallback;
    std::string strips; // the trace from the first image frame to ESC N
    friend void PrintTo(const SequenceCase& row, std::ostream* os) { *os << row.name; }
};

class LabelPrintJobSequence : public testing::TestWithParam<SequenceCase> {};

TEST_P(LabelPrintJobSequence, SendsEverythingWithItsPausesAndReads) {
    const SequenceCase& c = GetParam();
    FakeLink fake;
    fake.library.fallback = c.fallback;
    RunLabelPrintJob(fake.link, {});
    EXPECT_EQ(fake.library.trace, "W2 P10 R1 P10 W1 P10 R8 W1 P10 R1 W2 P10 R1 W16 P10 R1 W2 P10 " +
                                      c.strips + "P100 W2 P150 R1 ");
}

const std::string kFrame = Repeat("W64 ", 17);
const std::string kSilentStrip = kFrame + Repeat("P50 R1 ", 100);

INSTANTIATE_TEST_SUITE_P(
    Print, LabelPrintJobSequence,
    testing::Values(SequenceCase{"AcknowledgedAtOnce", 'A', "R1 " + Repeat(kFrame + "P50 R1 ", 3)},
                    // Each wait gives up after 100 reads and the sequence goes on.
                    SequenceCase{"SilentPrinter", '-', Repeat("R1 ", 100) + Repeat(kSilentStrip, 3)}),
    named_cases::CaseName());

struct FailedWriteCase {
    const char* name;
    int failAtWrite;
    std::string trace; // ends with the write that failed
    friend void PrintTo(const FailedWriteCase& row, std::ostream* os) { *os << row.name; }
};

class LabelPrintJobFailedWrite : public testing::TestWithParam<FailedWriteCase> {};

TEST_P(LabelPrintJobFailedWrite, StopsAtTheFirstFailedWriteAndTheLinkIsGone) {
    const FailedWriteCase& c = GetParam();
    FakeLink fake;
    fake.library.fallback = 'A';
    fake.library.failAtWrite = c.failAtWrite;
    EXPECT_FALSE(RunLabelPrintJob(fake.link, {}));
    EXPECT_EQ(fake.library.trace, c.trace);
    EXPECT_FALSE(fake.link.IsOpen());
}

const std::string kSetUp = "W2 P10 R1 P10 W1 P10 R8 W1 P10 R1 W2 P10 R1 W16 P10 R1 W2 P10 R1 ";

INSTANTIATE_TEST_SUITE_P(
    Print, LabelPrintJobFailedWrite,
    testing::Values(
        FailedWriteCase{"FirstCommand", 1, "W2 "},
        FailedWriteCase{"SetupFrame", 5, "W2 P10 R1 P10 W1 P10 R8 W1 P10 R1 W2 P10 R1 W16 "},
        FailedWriteCase{"FirstPieceOfTheSecondStrip", 6 + 17 + 1, kSetUp + kFrame + "P50 R1 W64 "},
        FailedWriteCase{"EndCommand", 6 + 3 * 17 + 1, kSetUp + Repeat(kFrame + "P50 R1 ", 3) + "P100 W2 "}),
    named_cases::CaseName());

TEST(LabelPrintJob, ReportsAWholeSequence) {
    FakeLink fake;
    fake.library.fallback = 'A';
    EXPECT_TRUE(RunLabelPrintJob(fake.link, {}));
    EXPECT_TRUE(fake.link.IsOpen());
}

struct PollCase {
    const char* name;
    std::string answers;  // one a tick
    std::string outcomes; // K keep polling, S stop silently, F stop and report finished
    friend void PrintTo(const PollCase& row, std::ostream* os) { *os << row.name; }
};

class StatusPollCases : public testing::TestWithParam<PollCase> {};

TEST_P(StatusPollCases, StopsAtTheAcknowledgeOrAfterTwentyUnanswered) {
    const PollCase& c = GetParam();
    FakeLink fake;
    StatusPoll poll;
    std::string outcomes;
    for (char a : c.answers) {
        fake.library.answers = a;
        outcomes += "KSF"[static_cast<int>(poll.Tick(fake.link))];
    }
    EXPECT_EQ(outcomes, c.outcomes);
    // Each tick asks with ESC B and reads one byte at once.
    EXPECT_EQ(fake.library.trace, Repeat("W2 R1 ", static_cast<int>(c.answers.size())));
    EXPECT_EQ(fake.library.last, (std::vector<std::uint8_t>{0x1B, 0x42}));
}

const std::string kGiveUp = std::string(20, 'K') + "S";
const std::string k21Silent(21, '-');

// Each stop, silent or not, starts the count afresh.
INSTANTIATE_TEST_SUITE_P(Print, StatusPollCases,
                         testing::Values(PollCase{"OtherAnswersCountAsUnanswered",
                                                  std::string(21, 'N') + k21Silent, kGiveUp + kGiveUp},
                                         PollCase{"FinishedAtThe21stTickIsStillReported",
                                                  std::string(20, '-') + "A" + k21Silent,
                                                  std::string(20, 'K') + "F" + kGiveUp}),
                         named_cases::CaseName());

} // namespace
