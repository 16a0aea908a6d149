// Printer presence: looks for the label printer at start-up and on every
// device change, keeps at most one link open to the first printer it finds,
// and says whether a link is open. It sends a label over that link on a
// thread of its own, so the window keeps answering, and then runs the
// once-a-second status poll.
#pragma once

#include "print/PackStrip.h"
#include "print/PrinterLibrary.h"
#include "print/PrinterLink.h"
#include "print/StatusPoll.h"
#include "tavopus/tavopus.h"

#include <QObject>

#include <array>
#include <cstdint>
#include <vector>

class DeviceNotices;
class QThread;
class QTimer;
class QWidget;

class PrinterPresence : public QObject {
    Q_OBJECT
public:
    // `window` is the parent of the status poll's message box.
    explicit PrinterPresence(QWidget* window);
    // Lets go of the library: the link is ended, then the receiver unregistered.
    ~PrinterPresence() override;

    // Registers with the library, starts watching device changes and looks
    // for a printer. Once; later calls do nothing.
    void Start();

    // A device-change notice.
    void OnDeviceChange(TavopNotice notice);

    bool IsLinked() const { return m_link.IsOpen(); }

    // Starts sending one label over the open link; JobFinished tells the end.
    // Sent, it (re)starts the status poll, which keeps its count of
    // unanswered polls; a write that fails ends the job and the link, which
    // is then said to be closed, and no poll starts. Without a link, or while
    // a job runs, nothing is sent and false is returned at once.
    bool StartLabel(const std::array<PackedStrip, kStripCount>& strips);
    bool IsPrinting() const { return m_job != nullptr; }
    // Waits for a job still running (the window waits for none: it cannot close mid-job).
    void WaitForJob();

    // One tick of the status poll; its timer calls this once a second. A
    // failed write ends the poll and the link.
    void PollStatus();
    bool IsPolling() const;

signals:
    // After every scan and every close: whether a link is open now.
    void LinkChanged(bool open);
    // A label job has ended; `sent` false when the printer stopped taking it.
    void JobFinished(bool sent);

private:
    // Remembers the first printer that answers; opens a link if none is open
    // (to the printer remembered from an earlier scan when this one found
    // none). Returns whether the scan found a printer.
    bool FindPrinter();
    // Opens the link to the remembered printer, if it answers; true on success.
    bool OpenPrinterLink();
    // Ends the link, if one is open, and says so.
    void ClosePrinterLink();
    void LinkLost();
    void OnJobDone();

    QWidget* m_window;
    PrinterLink m_link;
    // Until a scan finds a printer: number 0, the first number a scan asks
    // about, so the first open tries a number that can exist.
    std::int32_t m_deviceNumber = 0;
    DeviceNotices* m_notices = nullptr; // child; null until started
    QTimer* m_pollTimer;                // child
    StatusPoll m_statusPoll;            // one for the whole run: a new job keeps its count
    QThread* m_job = nullptr;           // the label job's thread while it runs
    bool m_jobSent = false;             // written by the job's thread before it ends
    // Device changes met during a job: the link is the job's until it ends.
    std::vector<TavopNotice> m_heldNotices;
};
