// The main dialog: owns the conversion table, the password and the feature
// objects (the typing test, the print image panel and the printer presence),
// and wires its controls to them. The conversion is its own.
#pragma once

#include "platform/CDialog.h"
#include "print/LabelImage.h"
#include "print/PrintPanel.h"
#include "table/ConversionTable.h"
#include "table/TableFile.h"
#include "typing/TypingResultArea.h"
#include "typing/TypingTrial.h"

#include <QIcon>

#include <string>
#include <string_view>

class QLabel;
class QMenu;
class PrinterPresence;
class SecretClipboard;
class StrengthMeter;
class SkipNotice;

class CPasswordDlg : public CDialog {
    Q_OBJECT
public:
    explicit CPasswordDlg(QWidget* parent = nullptr);
    ~CPasswordDlg() override;

    // Enter never closes the dialog: it only presses the current default button.
    void OnOK() override {}

    // The window menu's entries that a desktop lets a program have: a context
    // menu of the dialog with the label on other printers and as a PDF, and
    // the about entry at its end.
    QMenu* CreateSystemMenu(QWidget* parent);

public slots:
    // Handlers, reached through the message map.
    void OnConvert();
    void OnKanaFocus();
    void OnKanaUpdate();
    void OnPasswordUpdate();
    void OnTypingFocus();
    void OnTypingUpdate();
    void OnPasswordCheck();
    void OnAbout();
    void OnEditTable();
    void ChangePrintFont();
    void OnHelp();
    // The label print job: asks, reads the label from the print image and
    // sends it over the printer presence's link.
    void PrintLabel();
    // The label at its real size through the desktop's print dialog, on any
    // printer of the system's printing service.
    void OnPrintElsewhere();
    // The label at its real size as a PDF file the user names.
    void OnSavePdf();

public:
    // The conversion table the dialog converts with; the editor works on it.
    const std::string& Password() const { return m_password; }
    const TypingTrial& Typing() const { return m_typing; }
    PrinterPresence& Printer() { return *m_printer; }
    const PrintPanel& PrintImagePanel() const { return m_printPanel; }
    const StrengthMeter& Strength() const { return *m_strength; }
    // Copies from the password field go through this.
    SecretClipboard& Clipboard() { return *m_clipboard; }

    // Closing remembers the options and the window position.
    void done(int result) override;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(bool saveAndValidate) override;
    QWidget* CreateControl(const dlg::Control& control) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The label as the print image shows it; a test may print another.
    LabelImage CaptureLabelImage() const;

private:
    void ShowStrength(std::string_view password);
    void ReportUnreadableTable(TableReadError error);
    void LoadSettings();
    bool TitleBarOnOneScreen(QPoint position) const;
    void SaveSettings() const;

    ConversionTable m_table;
    std::string m_katakana; // at most kKatakanaLimit code page 932 bytes
    std::string m_password;
    std::string m_typed;
    QIcon m_icon;
    TypingTrial m_typing;
    TypingResultArea m_typingArea;
    PrintPanel m_printPanel;
    PrinterPresence* m_printer;          // child
    SecretClipboard* m_clipboard;        // child
    StrengthMeter* m_strength = nullptr; // child, built with the controls
    QLabel* m_strengthLine = nullptr;    // child, built with the controls
    SkipNotice* m_skipNotice;            // child
};
