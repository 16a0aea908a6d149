#include "cli/PrintCommand.h"

#include "cli/CliError.h"
#include "cli/CommandLine.h"
#include "cli/HelpText.h"
#include "cli/LabelStyle.h"
#include "cli/Terminal.h"
#include "cli/WatchedLibrary.h"
#include "platform/Cp932.h"
#include "platform/TickCount.h"
#include "platform/UserText.h"
#include "print/LabelPrintJob.h"
#include "print/PrinterLink.h"
#include "print/PackStrip.h"
#include "print/PrinterLibrary.h"
#include "print/StatusPoll.h"

#include <array>

namespace cli {
namespace {

// The library wants a non-zero receiver for its notices; none are listened to here.
constexpr std::uint32_t kNoticeReceiver = 1;
constexpr std::uint32_t kPollPeriodMs = 1000;

void Stage(const std::string& text) {
    Terminal::Note("q8xj-cli: print: " + text);
}

// Registered for the command's run, unregistered however it ends.
class Registration {
public:
    explicit Registration(PrinterLibrary& library)
        : m_library(library) {
        m_library.RegistHandle(kNoticeReceiver);
    }
    ~Registration() { m_library.UnregistHandle(); }
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;

private:
    PrinterLibrary& m_library;
};

// Opens `link` to the first printer, lowest number first, as the window does.
bool OpenFirstPrinter(PrinterLibrary& library, PrinterLink& link) {
    for (std::int32_t number = 0; number <= PrinterLibrary::kLastDeviceNumber; ++number) {
        std::array<char, PrinterLibrary::kDeviceNameBytes> name{};
        if (library.CheckActiveDevice(number, name.data()) != 0) {
            continue;
        }
        name.back() = '\0';
        if (link.Open(number)) {
            // The name comes from the device, which may say anything.
            Stage("プリンター " + std::to_string(number) + ": " +
                  ShownUserText(cp932::ToUtf8(name.data()), kShownPathChars));
            return true;
        }
    }
    return false;
}

} // namespace

int PrintCommand::Run(const QStringList& arguments) {
    CommandLine line(kPrintHelp);
    LabelStyle::AddOptions(line);
    if (!line.Parse(arguments)) {
        return kDone;
    }
    const std::string password = LabelStyle::Password(line);
    const PrintStyle style = LabelStyle::FromOptions(line);

    Stage("ラベルを読み取っています");
    const std::array<PackedStrip, kStripCount> strips = PackLabel(LabelStyle::Label(password, style).Data());

    Stage("プリンターを探しています");
    WatchedLibrary library(Stage);
    const Registration registration(library);
    // Declared after the registration: the link ends before the library is let go.
    PrinterLink link(library);
    if (!OpenFirstPrinter(library, link)) {
        throw CliError(kNoPrinter, "ラベルプリンターが見つかりません");
    }
    if (!RunLabelPrintJob(link, strips)) {
        throw CliError(kNoAcknowledge, "プリンターがラベルの受信を途中でやめました");
    }
    if (library.AcknowledgedStrips() != kStripCount) {
        throw CliError(kNoAcknowledge, "プリンターがラベルの受信を確認しません（ストリップ " +
                                           std::to_string(library.AcknowledgedStrips()) + "/3）");
    }

    // As the window does: once a second, until the printer says it has finished.
    Stage("プリンターの完了を待っています");
    StatusPoll poll;
    for (;;) {
        platform::Sleep(kPollPeriodMs);
        switch (poll.Tick(link)) {
        case PollOutcome::KeepPolling:
            continue;
        case PollOutcome::StopSilently:
            throw CliError(kNoAcknowledge, "プリンターから完了の知らせがありません");
        case PollOutcome::StopAndReportFinished:
            Stage("完了しました");
            return kDone;
        }
    }
}

} // namespace cli
