#include "print/PrinterPresence.h"

#include "platform/MessageBox.h"
#include "platform/QtText.h"
#include "print/DeviceNotices.h"
#include "print/LabelPrintJob.h"

#include <QThread>
#include <QTimer>
#include <QWidget>

PrinterPresence::PrinterPresence(QWidget* window)
    : QObject(window)
    , m_window(window)
    , m_pollTimer(new QTimer(this)) {
    m_pollTimer->setInterval(kStatusPollPeriodMs);
    connect(m_pollTimer, &QTimer::timeout, this, &PrinterPresence::PollStatus);
}

PrinterPresence::~PrinterPresence() {
    // Whoever listened may be going too.
    blockSignals(true);
    WaitForJob();
    if (m_notices == nullptr) {
        return; // never started
    }
    m_link.Close();
    PrinterLibrary::Current().UnregistHandle();
}

void PrinterPresence::Start() {
    if (m_notices != nullptr) {
        return;
    }
    m_notices = new DeviceNotices(this);
    connect(m_notices, &DeviceNotices::DeviceChange, this, &PrinterPresence::OnDeviceChange);
    PrinterLibrary::Current().RegistHandle(PrinterLibrary::kNoticeReceiver);
    FindPrinter();
}

bool PrinterPresence::FindPrinter() {
    const std::optional<ActivePrinter> printer = FirstActivePrinter();
    if (printer) {
        m_deviceNumber = printer->number;
    }
    // With nothing found this tries the printer remembered from before.
    const bool open = m_link.IsOpen() || OpenPrinterLink();
    emit LinkChanged(open);
    return printer.has_value();
}

bool PrinterPresence::OpenPrinterLink() {
    return ActivePrinterAt(m_deviceNumber) && m_link.Open(m_deviceNumber);
}

void PrinterPresence::ClosePrinterLink() {
    if (m_link.IsOpen()) {
        m_link.Close();
        emit LinkChanged(false);
    }
}

void PrinterPresence::OnDeviceChange(TavopNotice notice) {
    if (IsPrinting()) {
        m_heldNotices.push_back(notice);
        return;
    }
    switch (notice.kind) {
    case TAVOP_DEVICES_CHANGED:
        if (!FindPrinter()) {
            ClosePrinterLink();
        }
        break;
    case TAVOP_DEVICE_REMOVED:
        if (m_link.IsRemovedDevice(notice.device)) {
            ClosePrinterLink();
        }
        break;
    }
}

bool PrinterPresence::StartLabel(const std::array<PackedStrip, kStripCount>& strips) {
    if (!m_link.IsOpen() || IsPrinting()) {
        return false;
    }
    // No poll touches the link while the job has it.
    m_pollTimer->stop();
    m_job = QThread::create([this, strips] { m_jobSent = RunLabelPrintJob(m_link, strips); });
    // A job waited for already may still send its end, after the next one began.
    connect(m_job, &QThread::finished, this, [this, job = m_job] {
        if (m_job == job) {
            OnJobDone();
        }
    });
    m_job->start();
    return true;
}

void PrinterPresence::WaitForJob() {
    if (m_job != nullptr) {
        m_job->wait();
        OnJobDone();
    }
}

void PrinterPresence::OnJobDone() {
    if (m_job == nullptr) {
        return; // waited for already
    }
    m_job->wait();
    m_job->deleteLater();
    m_job = nullptr;
    if (m_jobSent) {
        // A job during polling starts the period again and keeps the poll's count.
        m_pollTimer->start();
    } else {
        LinkLost();
    }
    const std::vector<TavopNotice> held = std::exchange(m_heldNotices, {});
    for (const TavopNotice& notice : held) {
        OnDeviceChange(notice);
    }
    emit JobFinished(m_jobSent);
}

// The library ended the link at a failed write: the printer is gone until a
// device change finds it again.
void PrinterPresence::LinkLost() {
    m_pollTimer->stop();
    emit LinkChanged(false);
}

// The link is not checked: without one the printer simply never answers.
void PrinterPresence::PollStatus() {
    const bool wasOpen = m_link.IsOpen();
    const PollOutcome outcome = m_statusPoll.Tick(m_link);
    if (wasOpen && !m_link.IsOpen()) {
        LinkLost();
        return;
    }
    switch (outcome) {
    case PollOutcome::KeepPolling:
        break;
    case PollOutcome::StopSilently:
        m_pollTimer->stop();
        break;
    case PollOutcome::StopAndReportFinished:
        // Stopped first: the box's own message loop must not run the poll again.
        m_pollTimer->stop();
        platform::ShowWindowMessage(m_window, ToQString(StatusPoll::FinishedMessage()),
                                    platform::Buttons::Ok);
        break;
    }
}

bool PrinterPresence::IsPolling() const {
    return m_pollTimer->isActive();
}
