// The program's label print job sent through the library to the virtual
// printer: every wait ends at the printer's first acknowledgement, and the
// saved picture is the label that was packed.
#include "tavopus/tavopus.h"
#include "tavopus/TavopusTesting.h"

#include "PngReader.h"
#include "platform/TickCount.h"
#include "print/LabelPrintJob.h"
#include "print/PrinterLink.h"
#include "support/NamedCases.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

class CountingLibrary : public PrinterLibrary {
public:
    std::uint32_t UsbRead(std::uint32_t handle, void* buffer, std::uint32_t* count) override {
        ++reads;
        return PrinterLibrary::UsbRead(handle, buffer, count);
    }
    int reads = 0;
};

struct JobCase {
    std::string name;
    bool silent;
    std::vector<std::pair<int, int>> dots;
    int reads; // five set-up replies, the waits after ESC G and each strip, the reply to ESC N
    friend void PrintTo(const JobCase& c, std::ostream* os) { *os << c.name; }
};

class PrintJobThroughVirtualPrinter : public testing::TestWithParam<JobCase> {
protected:
    void SetUp() override {
        setenv("TAVOPUS_VIRTUAL", folder_.c_str(), 1);
        tavopus::testing::Reset();
        tavopus::testing::SetTimeouts(5, 2000);
        platform::SetSleepFunction([](std::uint32_t) {});
    }
    void TearDown() override {
        platform::SetSleepFunction({});
        unsetenv("TAVOPUS_VIRTUAL");
        tavopus::testing::Reset();
    }
    TempFolder temp_{"tavopus-job"};
    const fs::path& folder_ = temp_.Path();
};

TEST_P(PrintJobThroughVirtualPrinter, WaitsEndAtAcknowledgementsAndLabelIsSaved) {
    const auto& c = GetParam();
    if (c.silent)
        std::ofstream(folder_ / "silent") << "";
    std::vector<std::uint8_t> dots(kLabelDots);
    for (const auto& [x, y] : c.dots)
        dots[static_cast<std::size_t>(y * kLabelWidth + x)] = 1;
    CountingLibrary library;
    PrinterLink link(library);
    ASSERT_TRUE(link.Open(0));
    RunLabelPrintJob(link, PackLabel(std::span<const std::uint8_t, kLabelDots>(dots)));
    EXPECT_EQ(library.reads, c.reads);

    std::string error;
    const auto picture = ReadPng(ReadBytes(folder_ / "label-0001.png"), error);
    ASSERT_TRUE(picture) << error;
    int wrong = 0;
    for (int y = 0; y < kLabelHeight; ++y)
        for (int x = 0; x < kLabelWidth; ++x)
            wrong += picture->Black(x, y) != (dots[static_cast<std::size_t>(y * kLabelWidth + x)] != 0);
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, PrintJobThroughVirtualPrinter,
    testing::Values(JobCase{"Corners", false, {{0, 0}, {383, 0}, {0, 63}, {383, 63}}, 5 + 1 + 3 + 1},
                    JobCase{"SilentPrinterRunsOutEveryWait", true, {{200, 30}}, 5 + 100 + 3 * 100 + 1}),
    named_cases::CaseName{});

} // namespace
