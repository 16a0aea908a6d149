#include "print/StatusPoll.h"

#include "print/FakePrinterLink.h"
#include "print/LabelPrintJob.h"
#include "support/NamedCases.h"

#include <gtest/gtest.h>

namespace {

char Letter(PollOutcome outcome) {
    switch (outcome) {
    case PollOutcome::KeepPolling:
        return 'K';
    case PollOutcome::StopSilently:
        return 'S';
    case PollOutcome::StopAndReportFinished:
        return 'F';
    }
    return '?';
}

// One letter per tick. Answers: A 06, N another byte, - nothing.
// Outcomes: K keep polling, S stop silently, F stop and report finished.
std::string RunTicks(StatusPoll& poll, FakePrinterLink& link, const std::string& answers) {
    std::string outcomes;
    for (char a : answers) {
        link.script = {a == 'A' ? 0x06 : a == 'N' ? 0x15 : kSilent};
        outcomes += Letter(poll.Tick(link));
    }
    return outcomes;
}

struct PollCase {
    const char* name;
    std::string answers;
    std::string outcomes;
    std::uint32_t countAfter;
    friend void PrintTo(const PollCase& row, std::ostream* os) { *os << row.name; }
};

class StatusPollCases : public testing::TestWithParam<PollCase> {};

TEST_P(StatusPollCases, StopsAtTheAcknowledgeOrAfterTwentyUnanswered) {
    const PollCase& c = GetParam();
    FakePrinterLink link;
    StatusPoll poll;
    EXPECT_EQ(RunTicks(poll, link, c.answers), c.outcomes);
    EXPECT_EQ(poll.Count(), c.countAfter);
    // Each tick asks with ESC B and reads one byte at once.
    EXPECT_EQ(link.Trace() + " ", Repeat("W2 R1 ", static_cast<int>(c.answers.size())));
    for (const auto& w : link.writes) {
        EXPECT_EQ(w, (std::vector<std::uint8_t>{0x1B, 0x42}));
    }
}

const std::string k20Silent(20, '-');
const std::string k20Keep(20, 'K');

INSTANTIATE_TEST_SUITE_P(
    Print, StatusPollCases,
    testing::Values(PollCase{"FinishedAtOnce", "A", "F", 0},
                    PollCase{"FinishedAtTheThirdTick", "--A", "KKF", 0},
                    PollCase{"SilentStopsAtThe21stTick", k20Silent + "-", k20Keep + "S", 0},
                    PollCase{"OtherAnswersCountAsUnanswered", std::string(21, 'N'), k20Keep + "S", 0},
                    PollCase{"FinishedAtThe21stTickIsStillReported", k20Silent + "A", k20Keep + "F", 0},
                    PollCase{"TwentyUnansweredKeepPolling", k20Silent, k20Keep, 20},
                    PollCase{"CountStartsAgainAfterASilentStop", k20Silent + "-" + k20Silent + "-",
                             k20Keep + "S" + k20Keep + "S", 0},
                    PollCase{"CountStartsAgainAfterFinished", "-----A" + k20Silent + "-",
                             "KKKKKF" + k20Keep + "S", 0}),
    named_cases::CaseName());

TEST(StatusPoll, ASecondJobKeepsTheCount) {
    FakePrinterLink link;
    StatusPoll poll;
    EXPECT_EQ(RunTicks(poll, link, "-----"), "KKKKK");
    ASSERT_EQ(poll.Count(), 5u);
    link.fallback = 0x06;
    RunLabelPrintJob(link, {});
    link.fallback = kSilent;
    EXPECT_EQ(RunTicks(poll, link, std::string(16, '-')), std::string(15, 'K') + "S");
}

} // namespace
