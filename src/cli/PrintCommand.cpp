#include "cli/PrintCommand.h"

#include "cli/CliError.h"
#include "cli/Arguments.h"
#include "cli/Deadline.h"
#include "cli/HelpText.h"
#include "cli/LabelStyle.h"
#include "cli/Options.h"
#include "cli/Terminal.h"
#include "platform/Clock.h"
#include "platform/UserText.h"
#include "print/LabelPrintJob.h"
#include "print/LabelPrinting.h"
#include "print/LabelSheet.h"
#include "print/PackStrip.h"
#include "print/PrinterLibrary.h"
#include "print/PrinterLink.h"
#include "print/StatusPoll.h"

#include <array>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace cli {
namespace {

void Stage(const std::string& text) {
    Note("q8xj-cli: print: " + text);
}

// Registered for the command's run, unregistered however it ends.
class Registration {
public:
    Registration() { PrinterLibrary::Current().RegistHandle(PrinterLibrary::kNoticeReceiver); }
    ~Registration() { PrinterLibrary::Current().UnregistHandle(); }
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;
};

// The name comes from the device, which may say anything.
std::string Shown(const ActivePrinter& printer) {
    return ShownUserText(printer.name, kShownPathChars);
}

// Opens `link` to the first printer that opens, as the window does.
bool OpenFirstPrinter(PrinterLink& link) {
    for (auto printer = FirstActivePrinter(); printer; printer = FirstActivePrinter(printer->number + 1)) {
        if (link.Open(printer->number)) {
            Stage("プリンター " + std::to_string(printer->number) + ": " + Shown(*printer));
            return true;
        }
    }
    return false;
}

// The stage lines of the label job; counts the strips the printer acknowledged.
JobObserver Follow(int& acknowledged) {
    return [&acknowledged](JobEvent event, int strip) {
        switch (event) {
        case JobEvent::Initialising:
            Stage("プリンターを初期化しています");
            break;
        case JobEvent::SettingUp:
            Stage("ラベルを設定しています");
            break;
        case JobEvent::SendingStrip:
            Stage("ストリップ " + std::to_string(strip) + "/" + std::to_string(kStripCount) +
                  " を送っています");
            break;
        case JobEvent::StripAcknowledged:
            ++acknowledged;
            break;
        case JobEvent::Ending:
            Stage("ジョブを終えています");
            break;
        }
    };
}

// The printing service's library connects within 30 s but then waits minutes
// for a service that took the connection and never answers; this ends the
// wait before either. Only tests set Q8XJ_SERVICE_DEADLINE_MS.
class ServiceDeadline : public Deadline {
public:
    ServiceDeadline()
        : Deadline(Limit(), "印刷サービスが応答しません（" + Seconds() + " 秒待ちました）", kQueue) {}

private:
    static std::chrono::milliseconds Limit() {
        const char* set = std::getenv("Q8XJ_SERVICE_DEADLINE_MS");
        int ms = 0;
        if (set != nullptr && std::from_chars(set, set + std::strlen(set), ms).ec == std::errc() && ms > 0) {
            return std::chrono::milliseconds(ms);
        }
        return std::chrono::seconds(20);
    }
    static std::string Seconds() {
        const auto ms = Limit().count();
        return ms % 1000 == 0 ? std::to_string(ms / 1000) : OneDecimal(static_cast<double>(ms) / 1000);
    }
};

// No stage lines: standard error carries only the one line of a failure.
int PrintOnQueue(const QString& queue, const std::string& password, const PrintStyle& style, bool frame) {
    const std::string name = QuotedUserText(Arguments::Utf8(queue));
    const ServiceDeadline deadline;
    LabelPrinting* printing = LabelPrinting::Current();
    if (printing == nullptr || !printing->HasQueue(queue)) {
        if (printing != nullptr && !printing->ServiceReached()) {
            throw CliError(kQueue, "印刷サービスに接続できないので、印刷キュー" + name + "で印刷できません");
        }
        throw CliError(kQueue, "印刷キュー" + name + "がありません（q8xj-cli printers で一覧を表示します）");
    }
    WarnIfCut(password, style);
    const auto paint = [&](QPainter& painter, bool withFrame) {
        LabelSheet::Paint(painter, password, style, withFrame);
    };
    if (!printing->PrintOnQueue(queue, QStringLiteral("Q8xj ラベル"), frame, paint)) {
        throw CliError(kQueue, "印刷キュー" + name + "が印刷を受け付けませんでした");
    }
    return kDone;
}

} // namespace

int RunPrint(const QStringList& arguments) {
    Arguments line(PrintHelp(), {opt::kPrinter, opt::kNoFrame, opt::kFont, opt::kSize, opt::kColour});
    if (!line.Parse(arguments)) {
        return kDone;
    }
    const std::string password = LabelPassword(line);
    const PrintStyle style = LabelStyleFromOptions(line);
    if (line.IsSet(opt::kPrinter)) {
        return PrintOnQueue(line.Text(opt::kPrinter), password, style, !line.IsSet(opt::kNoFrame));
    }

    Stage("ラベルを読み取っています");
    const std::array<PackedStrip, kStripCount> strips = PackLabel(LabelOf(password, style).Data());

    Stage("プリンターを探しています");
    const Registration registration;
    // Declared after the registration: the link ends before the library is let go.
    PrinterLink link;
    if (!OpenFirstPrinter(link)) {
        throw CliError(kNoPrinter, "ラベルプリンターが見つかりません");
    }
    int acknowledged = 0;
    if (!RunLabelPrintJob(link, strips, Follow(acknowledged))) {
        throw CliError(kNoAcknowledge, kJobStoppedMessage);
    }
    if (acknowledged != kStripCount) {
        throw CliError(kNoAcknowledge, "プリンターがラベルの受信を確認しません（ストリップ " +
                                           std::to_string(acknowledged) + "/" + std::to_string(kStripCount) +
                                           "）");
    }

    // As the window does: once a second, until the printer says it has finished.
    Stage("プリンターの完了を待っています");
    StatusPoll poll;
    for (;;) {
        platform::Clock::Current().Pause(std::chrono::milliseconds(kStatusPollPeriodMs));
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

int ListPrinters(const QStringList& arguments) {
    Arguments line(PrintersHelp(), {});
    if (!line.Parse(arguments)) {
        return kDone;
    }
    if (!line.Positional().isEmpty()) {
        throw CliError(kUsage, "printers は引数をとりません" + SeeHelp());
    }
    std::string out;
    bool reached = true;
    {
        const ServiceDeadline deadline;
        // Without the printing module the service's queues are out of reach.
        LabelPrinting* printing = LabelPrinting::Current();
        const QString defaultQueue = printing != nullptr ? printing->DefaultQueue() : QString();
        const QStringList queues = printing != nullptr ? printing->Queues() : QStringList();
        for (const QString& queue : queues) {
            out += Arguments::Utf8(queue) + "\t印刷キュー" + (queue == defaultQueue ? "（既定）" : "") + "\n";
        }
        reached = !queues.isEmpty() || printing == nullptr || printing->ServiceReached();
    }
    const Registration registration;
    for (auto printer = FirstActivePrinter(); printer; printer = FirstActivePrinter(printer->number + 1)) {
        out += Shown(*printer) + "\tラベルプリンター\n";
    }
    // A machine without a running printing service is common: a warning, with the label printers.
    if (!reached) {
        Warning(out.empty() ? "印刷サービスに接続できず、ラベルプリンターも見つかりません"
                            : "印刷サービスに接続できないので、印刷キューは表示していません");
    } else if (out.empty()) {
        Warning("プリンターが見つかりません");
    }
    Out(out);
    return kDone;
}

} // namespace cli
