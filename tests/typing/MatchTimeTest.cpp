#include "typing/MatchTime.h"

#include "support/NamedCases.h"

#include <gtest/gtest.h>

namespace {

struct MatchCase {
    const char* name;
    std::uint32_t bestBefore;
    std::uint32_t measured;
    bool blue;
    std::uint32_t bestAfter;
    friend void PrintTo(const MatchCase& row, std::ostream* os) { *os << row.name; }
};

class MatchTimeCases : public testing::TestWithParam<MatchCase> {};

TEST_P(MatchTimeCases, ChoosesColourAndKeepsTheBest) {
    const MatchCase& c = GetParam();
    std::uint32_t best = c.bestBefore;
    EXPECT_EQ(RecordMatchTime(best, c.measured), c.blue);
    EXPECT_EQ(best, c.bestAfter);
}

INSTANTIATE_TEST_SUITE_P(Typing, MatchTimeCases,
                         testing::Values(MatchCase{"FirstMatchIsBlackAndBecomesBest", 0, 1500, false, 1500},
                                         MatchCase{"EqualTimeIsBlue", 1500, 1500, true, 1500},
                                         MatchCase{"FasterIsBlueAndTheNewBest", 1500, 1200, true, 1200},
                                         MatchCase{"SlowerIsBlackAndBestStays", 1200, 1500, false, 1200},
                                         MatchCase{"OneMillisecondSlowerIsBlack", 1200, 1201, false, 1200}),
                         named_cases::CaseName());

struct ElapsedCase {
    const char* name;
    std::uint32_t start;
    std::uint32_t now;
    std::uint32_t elapsed;
    friend void PrintTo(const ElapsedCase& row, std::ostream* os) { *os << row.name; }
};

class ElapsedTimeCases : public testing::TestWithParam<ElapsedCase> {};

TEST_P(ElapsedTimeCases, IsTheDifferenceModulo2To32) {
    const ElapsedCase& c = GetParam();
    EXPECT_EQ(ElapsedTime(c.now, c.start), c.elapsed);
}

INSTANTIATE_TEST_SUITE_P(Typing, ElapsedTimeCases,
                         testing::Values(ElapsedCase{"Plain", 1000, 3500, 2500},
                                         ElapsedCase{"SameTick", 77, 77, 0},
                                         ElapsedCase{"CounterWrapped", 0xFFFFFFF0u, 5, 21}),
                         named_cases::CaseName());

} // namespace
