#include "print/LabelPrintJob.h"

#include "print/FakePrinterLink.h"
#include "support/NamedCases.h"

#include <gtest/gtest.h>

namespace {

const std::string kHead = "W2 P10 R1 P10 W1 P10 R8 W1 P10 R1 W2 P10 R1 W16 P10 R1 W2 P10 ";
const std::string kTail = "P100 W2 P150 R1";
const std::string kSilentStrip = "W64x17 " + Repeat("P50 R1 ", 100);

struct SequenceCase {
    const char* name;
    std::deque<int> script;
    int fallback;
    std::string trace;
    std::uint32_t pausedMs;
    friend void PrintTo(const SequenceCase& row, std::ostream* os) { *os << row.name; }
};

class LabelPrintJobSequence : public testing::TestWithParam<SequenceCase> {};

TEST_P(LabelPrintJobSequence, SendsEverythingWithItsPausesAndReads) {
    const SequenceCase& c = GetParam();
    FakePrinterLink link;
    link.script = c.script;
    link.fallback = c.fallback;
    RunLabelPrintJob(link, {});
    EXPECT_EQ(link.Trace(), c.trace);
    EXPECT_EQ(link.pausedMs, c.pausedMs);
}

INSTANTIATE_TEST_SUITE_P(
    Print, LabelPrintJobSequence,
    testing::Values(SequenceCase{"AcknowledgedAtOnce",
                                 {},
                                 0x06,
                                 kHead + "R1 W64x17 P50 R1 W64x17 P50 R1 W64x17 P50 R1 " + kTail,
                                 470},
                    SequenceCase{"SilentPrinterGetsTheWholeSequence",
                                 {},
                                 kSilent,
                                 kHead + "R1x100 " + kSilentStrip + kSilentStrip + kSilentStrip + kTail,
                                 70 + 3 * 100 * 50 + 250},
                    SequenceCase{"OtherAnswersAreNotAnAcknowledge",
                                 {},
                                 0x15,
                                 kHead + "R1x100 " + kSilentStrip + kSilentStrip + kSilentStrip + kTail,
                                 70 + 3 * 100 * 50 + 250},
                    // Steps before the image answer 06; the cleared reply keeps it from
                    // counting for the silent reads after them.
                    SequenceCase{"EarlierAcknowledgeIsNotReadAgain",
                                 {6, 6, 6, 6, 6},
                                 kSilent,
                                 kHead + "R1x100 " + kSilentStrip + kSilentStrip + kSilentStrip + kTail,
                                 70 + 3 * 100 * 50 + 250},
                    SequenceCase{"AcknowledgedLate",
                                 [] {
                                     std::deque<int> s{0, 0, 0, 0, 0, 0x15, kSilent, 6, kSilent, 6, 6};
                                     s.insert(s.end(), 99, kSilent);
                                     s.push_back(6);
                                     return s;
                                 }(),
                                 kSilent,
                                 kHead + "R1x3 W64x17 P50 R1 P50 R1 W64x17 P50 R1 " + kSilentStrip + kTail,
                                 70 + 2 * 50 + 50 + 100 * 50 + 250}),
    named_cases::CaseName());

struct Pixel {
    int x;
    int y;
};

struct FrameByte {
    int strip;
    std::size_t offset; // within the strip's image frame
    std::uint8_t value;
};

struct StreamCase {
    const char* name;
    std::vector<Pixel> dots;
    std::vector<FrameByte> setBytes; // every other strip byte is 0
    friend void PrintTo(const StreamCase& row, std::ostream* os) { *os << row.name; }
};

std::vector<std::uint8_t> ExpectedStream(const std::vector<FrameByte>& setBytes) {
    std::vector<std::uint8_t> s{0x1B, 0x49, 0x05, 0x06, 0x1B, 0x50, 0x02, 0x80, 0x0C, 0x00, 0x00, 0x00,
                                0x00, 0x04, 0x40, 0x00, 0x20, 0x00, 0x00, 0x0C, 0x00, 0x00, 0x1B, 0x47};
    for (int strip = 0; strip < 3; ++strip) {
        std::vector<std::uint8_t> frame(1088, 0);
        frame[0] = 0x02;
        frame[1] = strip == 2 ? 0x80 : 0x00;
        frame[3] = 0x04;
        for (const FrameByte& b : setBytes) {
            if (b.strip == strip) {
                frame.at(b.offset) = b.value;
            }
        }
        s.insert(s.end(), frame.begin(), frame.end());
    }
    s.insert(s.end(), {0x1B, 0x4E});
    return s;
}

class LabelPrintJobStream : public testing::TestWithParam<StreamCase> {};

TEST_P(LabelPrintJobStream, SendsTheLabelBytes) {
    const StreamCase& c = GetParam();
    std::vector<std::uint8_t> label(kLabelDots, 0);
    for (const Pixel& p : c.dots) {
        label[static_cast<std::size_t>(p.y * kLabelWidth + p.x)] = 1;
    }
    FakePrinterLink link;
    link.fallback = 0x06;
    RunLabelPrintJob(link, PackLabel(std::span<const std::uint8_t, kLabelDots>(label)));
    EXPECT_EQ(link.Stream(), ExpectedStream(c.setBytes));
}

INSTANTIATE_TEST_SUITE_P(
    Print, LabelPrintJobStream,
    testing::Values(StreamCase{"NoDots", {}, {}}, StreamCase{"OnlyTheTopLeftDot", {{0, 0}}, {{0, 4, 0x01}}},
                    StreamCase{"FirstDotOfTheLastStrip", {{256, 0}}, {{2, 4, 0x01}}},
                    StreamCase{"BottomDotOfTheMiddleStrip", {{128, 63}}, {{1, 4 + 7, 0x80}}},
                    StreamCase{"BottomRightDot", {{383, 63}}, {{2, 4 + 1023, 0x80}}}),
    named_cases::CaseName());

} // namespace
