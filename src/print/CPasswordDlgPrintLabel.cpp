// The label print job of the main dialog: the print image read back as a
// label, sent over the open printer link, then a once-a-second question to the
// printer until it says it has finished.
#include "app/CPasswordDlg.h"

#include "platform/Cp932.h"
#include "platform/MessageBox.h"
#include "print/LabelImage.h"
#include "print/LabelPrintJob.h"
#include "print/LibraryPrinterLink.h"
#include "print/PackStrip.h"
#include "print/PrintImage.h"
#include "print/PrinterLibrary.h"

#include <QApplication>

namespace {

constexpr int kStatusPollTimer = 1;
constexpr int kStatusPollPeriodMs = 1000;

// The job holds the interface for half a second or more, and for seconds when
// the printer does not answer: the busy cursor shows it has not hung.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

LabelImage CPasswordDlg::CaptureLabelImage() const {
    return PrintImage::Label(PrintImage::Render(m_password, m_printStyle));
}

void CPasswordDlg::PrintLabel() {
    UpdateData(true);
    if (m_password.empty()) {
        AfxMessageBox(cp932::Text("プリントするデータがありません"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (AfxMessageBox(cp932::Text("プリントしますか？"), MB_OKCANCEL | MB_ICONQUESTION) != IDOK) {
        return;
    }

    const BusyCursor busy;
    // Read and packed even without a link, the same work either way.
    const std::array<PackedStrip, kStripCount> strips = PackLabel(CaptureLabelImage().Data());
    if (m_printerLink == 0) {
        return;
    }
    LibraryPrinterLink link(PrinterLibrary(), m_printerLink);
    RunLabelPrintJob(link, strips);
    // A job during polling starts the period again and keeps the poll's count.
    SetTimer(kStatusPollTimer, kStatusPollPeriodMs);
}

// Timer 1 is the dialog's only timer, so the id is not looked at. The link
// is not checked either: without one the printer simply never answers.
void CPasswordDlg::OnTimer(int /*id*/) {
    LibraryPrinterLink link(PrinterLibrary(), m_printerLink);
    switch (m_statusPoll.Tick(link)) {
    case PollOutcome::KeepPolling:
        break;
    case PollOutcome::StopSilently:
        KillTimer(kStatusPollTimer);
        break;
    case PollOutcome::StopAndReportFinished:
        // Stopped first: the box's own message loop must not run the poll again.
        KillTimer(kStatusPollTimer);
        WindowMessageBox(this, StatusPoll::FinishedMessage(), MB_OK);
        break;
    }
}
