#include "cli/PrintCommand.h"

#include "cli/CliError.h"
#include "cli/CommandLine.h"
#include "cli/HelpText.h"
#include "cli/LabelStyle.h"
#include "cli/Terminal.h"
#include "cli/WatchedLink.h"
#include "platform/Cp932.h"
#include "platform/TickCount.h"
#include "print/LabelPrintJob.h"
#include "print/LibraryPrinterLink.h"
#include "print/PackStrip.h"
#include "print/PrinterLibrary.h"
#include "print/StatusPoll.h"

#include <array>
#include <cstring>

namespace cli {
namespace {

constexpr std::int32_t kLastDeviceNumber = 126;
constexpr std::size_t kDeviceNameBytes = 256;
// The library wants a non-zero receiver for its notices; none are listened to here.
constexpr std::uint32_t kNoticeReceiver = 1;
constexpr std::uint32_t kPollPeriodMs = 1000;

void Stage(const std::string& text) {
    Terminal::Note("q8xj-cli: print: " + text);
}

// Registered for the command's run, unregistered however it ends.
class Registration {
public:
    Registration() { PrinterLibrary().registHandle(kNoticeReceiver); }
    ~Registration() { PrinterLibrary().unregistHandle(); }
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;
};

// The link to the first printer found, open for the command's run.
class OpenPrinter {
public:
    OpenPrinter() {
        for (std::int32_t number = 0; number <= kLastDeviceNumber && m_handle == 0; ++number) {
            std::array<char, kDeviceNameBytes> name{};
            if (PrinterLibrary().checkActiveDevice(number, name.data()) != 0) {
                continue;
            }
            name.back() = '\0';
            if (PrinterLibrary().startDevice(&m_handle, number) != 0) {
                m_handle = 0;
                continue;
            }
            Stage("printer " + std::to_string(number) + ": " + cp932::ToUtf8(name.data()));
        }
    }
    ~OpenPrinter() {
        if (m_handle != 0) {
            PrinterLibrary().endDevice(m_handle);
        }
    }
    OpenPrinter(const OpenPrinter&) = delete;
    OpenPrinter& operator=(const OpenPrinter&) = delete;

    std::uint32_t Handle() const { return m_handle; }

private:
    std::uint32_t m_handle = 0;
};

} // namespace

int PrintCommand::Run(const QStringList& arguments) {
    CommandLine line(kPrintHelp);
    LabelStyle::AddOptions(line);
    if (!line.Parse(arguments)) {
        return kDone;
    }
    const std::string password = LabelStyle::Password(line);
    const PrintStyle style = LabelStyle::FromOptions(line);

    Stage("reading the label");
    const std::array<PackedStrip, kStripCount> strips = PackLabel(LabelStyle::Label(password, style).Data());

    Stage("looking for the printer");
    const Registration registration;
    const OpenPrinter printer;
    if (printer.Handle() == 0) {
        throw CliError(kNoPrinter, "no label printer found");
    }
    LibraryPrinterLink link(PrinterLibrary(), printer.Handle());
    WatchedLink watched(link, Stage);
    RunLabelPrintJob(watched, strips);
    if (watched.AcknowledgedStrips() != kStripCount) {
        throw CliError(kNoAcknowledge, "the printer did not acknowledge the label (" +
                                           std::to_string(watched.AcknowledgedStrips()) + " of 3 strips)");
    }

    // As the window does: once a second, until the printer says it has finished.
    Stage("waiting for the printer to finish");
    StatusPoll poll;
    for (;;) {
        Sleep(kPollPeriodMs);
        switch (poll.Tick(link)) {
        case PollOutcome::KeepPolling:
            continue;
        case PollOutcome::StopSilently:
            throw CliError(kNoAcknowledge, "the printer did not say that it had finished");
        case PollOutcome::StopAndReportFinished:
            Stage("done");
            return kDone;
        }
    }
}

} // namespace cli
