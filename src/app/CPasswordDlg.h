// The main dialog: owns every piece of state of the running program (the
// conversion table, the password, the typing-test times, the print image's
// font and colour, the printer link) and runs the conversion. The handlers of
// the typing test, the print image, the label printer and the table editor are
// members defined in the folders of those features.
#pragma once

#include "app/PasswordDialogTemplate.h"
#include "platform/CDialog.h"
#include "print/PrintStyle.h"
#include "print/StatusPoll.h"
#include "table/CMapStringToString.h"
#include "table/TableFile.h"
#include "typing/ResultLine.h"

#include <QColor>
#include <QFont>
#include <QIcon>

#include <array>
#include <cstdint>
#include <string>

class QLineEdit;
class QMenu;
class QPainter;
class QPushButton;
class PaintArea;
class DeviceNotices;
class LabelImage;

class CPasswordDlg : public CDialog {
    Q_OBJECT
public:
    explicit CPasswordDlg(QWidget* parent = nullptr);
    ~CPasswordDlg() override;

    // Enter never closes the dialog: it only presses the current default button.
    void OnOK() override {}

    // The window menu's entries that a desktop lets a program have: a context
    // menu of the dialog with the about entry at its end.
    QMenu* CreateSystemMenu(QWidget* parent);

    // Handlers.
    void OnConvert();
    void OnKanaFocus();
    void OnTypingFocus();
    void OnTypingUpdate();
    void OnPasswordCheck();
    void OnAbout();
    void OnEditTable();
    void ChangePrintFont();
    void OnHelp();

    // Printer presence: the scan, the link and the device-change notices.
    bool FindPrinter();
    bool OpenPrinterLink();
    void ClosePrinterLink();
    void OnDeviceChange(quint32 event, quint32 word);
    std::uint32_t PrinterLinkHandle() const { return m_printerLink; }
    std::int32_t PrinterDeviceNumber() const { return m_printerDeviceNumber; }
    const char* PrinterDeviceName() const { return m_printerDeviceName.data(); }

    // The label print job and its status poll on timer 1.
    void PrintLabel();
    void OnTimer(int id) override;

    // Redraws the print image without erasing the dialog behind it.
    void InvalidatePrintImage();
    // Paints the print image's white area and the password in it.
    void DrawPrintImage(QPainter& painter);

    // Read by the tests and by the features that work on the dialog's state.
    const ConversionTable& Table() const { return m_table; }
    const std::string& Password() const { return m_password; }
    std::uint32_t BestTypingTime() const { return m_bestTypingTime; }
    std::uint32_t TypingStartTime() const { return m_typingStartTime; }
    const ResultLine& TypingResult() const { return m_resultLine; }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(bool saveAndValidate) override;
    QWidget* CreateControl(const dlg::Control& control) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // The label as the print image shows it; a test may print another.
    virtual LabelImage CaptureLabelImage() const;

private:
    void ReportUnreadableTable(TableReadError error);
    void OnDestroy();
    void StartPrinterPresence();
    void EndPrinterPresence();
    void DrawTypingResult(QPainter& painter);
    void ClearTypingResult();

    // A window drawing context cannot be held in Qt: a widget is drawn only in
    // its own paint event. The "DC" members are therefore the paint areas
    // whose painters draw the result line and the print image, and a "previous
    // font" is the area's font before ours was set, put back at shut-down.
    std::uint32_t m_bestTypingTime = 0;  // ms; 0: none yet for this password
    std::uint32_t m_typingStartTime = 0; // tick count; 0: not started
    QFont m_resultPreviousFont;
    QFont m_resultFont;
    PaintArea* m_resultDC = nullptr;
    QWidget* m_resultWnd = nullptr;
    QFont m_printPreviousFont;
    PrintStyle m_printStyle; // the print font, with its full description, and the print text colour
    PaintArea* m_printDC = nullptr;
    QWidget* m_printWnd = nullptr;
    // Until a scan finds a printer: number 0 and no name, the first number a
    // scan asks about, so the first open tries a number that can exist.
    std::int32_t m_printerDeviceNumber = 0;
    std::array<char, 256> m_printerDeviceName{};
    std::uint32_t m_printerLink = 0; // 0: no connection
    ConversionTable m_table;
    QLineEdit* m_typingEdit = nullptr;
    QPushButton* m_convertButton = nullptr;
    QPushButton* m_checkButton = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QPushButton* m_printButton = nullptr;
    std::string m_katakana; // code page 932, at most 70 bytes
    std::string m_password;
    std::string m_typed;
    QIcon m_icon;
    DeviceNotices* m_deviceNotices = nullptr; // child; delivers OnDeviceChange
    ResultLine m_resultLine;                  // what the result area shows until the next check or conversion
    StatusPoll m_statusPoll;                  // one for the whole run: a new job keeps its count
};
