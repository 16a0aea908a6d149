// Printer presence: the main dialog looks for the label printer at start-up
// and on every device change, keeps at most one link open to it, and keeps the
// print button enabled exactly while that link is open.
#include "app/CPasswordDlg.h"

#include "app/PasswordDialogTemplate.h"
#include "platform/DeviceNotices.h"
#include "print/PrinterLibrary.h"
#include "tavopus/tavopus.h"

#include <algorithm>
#include <array>
#include <cstring>

using namespace app;

namespace {

constexpr std::int32_t kLastDeviceNumber = 126;
constexpr std::size_t kDeviceNameBytes = 256;
// The library only needs a non-zero number for the receiver of its notices;
// they reach the dialog through its DeviceNotices, whatever the number.
constexpr std::uint32_t kPrinterNoticeReceiver = 1;

} // namespace

bool CPasswordDlg::FindPrinter() {
    bool found = false;
    for (std::int32_t number = 0; number <= kLastDeviceNumber; ++number) {
        std::array<char, kDeviceNameBytes> name{};
        if (PrinterLibrary().checkActiveDevice(number, name.data()) == 0) {
            // The library promises a NUL; the last byte stays one whatever it wrote.
            name.back() = '\0';
            const std::size_t length = std::strlen(name.data());
            std::copy_n(name.begin(), length + 1, m_printerDeviceName.begin());
            m_printerDeviceNumber = number;
            found = true;
            break;
        }
    }

    if (m_printerLink != 0) {
        EnableDlgItem(IDC_PRINT, true);
    } else {
        // With nothing found this tries the printer remembered from before.
        EnableDlgItem(IDC_PRINT, OpenPrinterLink());
    }
    return found;
}

bool CPasswordDlg::OpenPrinterLink() {
    if (PrinterLibrary().checkActiveDevice(m_printerDeviceNumber, m_printerDeviceName.data()) != 0) {
        return false;
    }
    return PrinterLibrary().startDevice(&m_printerLink, m_printerDeviceNumber) == 0;
}

void CPasswordDlg::ClosePrinterLink() {
    if (m_printerLink != 0) {
        PrinterLibrary().endDevice(m_printerLink);
        m_printerLink = 0;
        EnableDlgItem(IDC_PRINT, false);
    }
}

void CPasswordDlg::OnDeviceChange(quint32 event, quint32 word) {
    switch (event) {
    case TAVOP_DEVNODES_CHANGED:
        if (!FindPrinter()) {
            ClosePrinterLink();
        }
        break;
    case TAVOP_DEVICEREMOVECOMPLETE:
        // Asked even without a link: the library answers "not yours" to handle 0.
        if (PrinterLibrary().checkMyDevice(m_printerLink, word) == 0) {
            ClosePrinterLink();
        }
        break;
    default:
        break;
    }
}

void CPasswordDlg::StartPrinterPresence() {
    if (m_deviceNotices == nullptr) {
        m_deviceNotices = new DeviceNotices(this);
        connect(m_deviceNotices, &DeviceNotices::DeviceChange, this, &CPasswordDlg::OnDeviceChange);
    }
    m_printerLink = 0;
    PrinterLibrary().registHandle(kPrinterNoticeReceiver);
    FindPrinter();
}

void CPasswordDlg::EndPrinterPresence() {
    if (m_deviceNotices == nullptr) {
        return; // never started: the window was never made
    }
    // An open link is left to the library; it goes with the process.
    PrinterLibrary().unregistHandle();
}
