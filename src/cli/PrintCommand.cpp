#include "cli/PrintCommand.h"

#include "cli/CliError.h"
#include "cli/Arguments.h"
#include "cli/HelpText.h"
#include "cli/LabelStyle.h"
#include "cli/Terminal.h"
#include "cli/WatchedLibrary.h"
#include "platform/Cp932.h"
#include "platform/TickCount.h"
#include "platform/UserText.h"
#include "print/LabelPrintJob.h"
#include "print/LabelSheet.h"
#include "print/PrinterLink.h"
#include "print/PackStrip.h"
#include "print/PrinterLibrary.h"
#include "print/StatusPoll.h"

#include <QPrinter>
#include <QPrinterInfo>

#include <array>
#include <vector>

namespace cli {
namespace {

// The library wants a non-zero receiver for its notices; none are listened to here.
constexpr std::uint32_t kNoticeReceiver = 1;
constexpr std::uint32_t kPollPeriodMs = 1000;

void Stage(const std::string& text) {
    Note("q8xj-cli: print: " + text);
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

struct LabelPrinter {
    std::int32_t number;
    std::string name; // UTF-8
};

// The label printers that answer, lowest number first.
std::vector<LabelPrinter> ActiveLabelPrinters(PrinterLibrary& library) {
    std::vector<LabelPrinter> printers;
    for (std::int32_t number = 0; number <= PrinterLibrary::kLastDeviceNumber; ++number) {
        std::array<char, PrinterLibrary::kDeviceNameBytes> name{};
        if (library.CheckActiveDevice(number, name.data()) == 0) {
            name.back() = '\0';
            // The name comes from the device, which may say anything.
            printers.push_back({number, ShownUserText(cp932::ToUtf8(name.data()), kShownPathChars)});
        }
    }
    return printers;
}

// Opens `link` to the first printer that opens, as the window does.
bool OpenFirstPrinter(PrinterLibrary& library, PrinterLink& link) {
    for (const LabelPrinter& printer : ActiveLabelPrinters(library)) {
        if (link.Open(printer.number)) {
            Stage("プリンター " + std::to_string(printer.number) + ": " + printer.name);
            return true;
        }
    }
    return false;
}

int PrintOnQueue(const QString& queue, const std::string& password, const PrintStyle& style, bool frame) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(queue);
    const std::string name = Arguments::Utf8(queue);
    if (info.isNull()) {
        throw CliError(kQueue,
                       "印刷キュー「" + name + "」がありません（q8xj-cli printers で一覧を表示します）");
    }
    LabelStyle::WarnIfCut(password, style);
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Q8xj ラベル"));
    Stage("印刷キュー " + name + " に送っています");
    if (!LabelSheet(password, style, frame).Print(printer)) {
        throw CliError(kQueue, "印刷キュー「" + name + "」が印刷を受け付けませんでした");
    }
    Stage("送りました");
    return kDone;
}

} // namespace

int PrintCommand::Run(const QStringList& arguments) {
    Arguments line(kPrintHelp);
    line.Parser().addOption(QCommandLineOption("printer", "", "QUEUE"));
    line.Parser().addOption(QCommandLineOption("no-frame"));
    LabelStyle::AddOptions(line);
    if (!line.Parse(arguments)) {
        return kDone;
    }
    const std::string password = LabelStyle::Password(line);
    const PrintStyle style = LabelStyle::FromOptions(line);
    if (line.IsSet("printer")) {
        return PrintOnQueue(line.Parser().value("printer"), password, style, !line.IsSet("no-frame"));
    }

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

int PrintCommand::ListPrinters(const QStringList& arguments) {
    Arguments line(kPrintersHelp);
    if (!line.Parse(arguments)) {
        return kDone;
    }
    if (!line.Positional().isEmpty()) {
        throw CliError(kUsage, "printers は引数をとりません（--help を参照）");
    }
    std::string out;
    const QString defaultQueue = QPrinterInfo::defaultPrinterName();
    for (const QString& queue : QPrinterInfo::availablePrinterNames()) {
        out += Arguments::Utf8(queue) + "\t印刷キュー" + (queue == defaultQueue ? "（既定）" : "") + "\n";
    }
    WatchedLibrary library([](const std::string&) {});
    const Registration registration(library);
    for (const LabelPrinter& printer : ActiveLabelPrinters(library)) {
        out += printer.name + "\tラベルプリンター\n";
    }
    if (out.empty()) {
        Warning("プリンターが見つかりません");
    }
    Out(out);
    return kDone;
}

} // namespace cli
