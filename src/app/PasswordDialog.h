// The main dialog: shows the password model (the table, the phrase, the
// options, the password and the typing trial) and owns the feature objects
// (the print image panel and the printer presence), wiring its controls to them.
#pragma once

#include "app/WindowSettings.h"
#include "platform/DialogLayout.h"
#include "print/PrintPanel.h"
#include "model/PasswordModel.h"
#include "typing/TypingResultArea.h"

#include <QDialog>
#include <QIcon>

#include <optional>

class KanaLineEdit;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class PrinterPresence;
class SecretClipboard;
class SecretLineEdit;
class StrengthMeter;
class SkipNotice;

class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    explicit PasswordDialog(QWidget* parent = nullptr);
    ~PasswordDialog() override;

    // The window menu's entries that a desktop lets a program have: a context
    // menu of the dialog with the label on other printers and as a PDF, and
    // the about entry at its end.
    QMenu* CreateSystemMenu(QWidget* parent);

    void OnConvert();
    // Puts a suggested phrase into the katakana field (Ctrl+Z brings the old
    // text back) and converts it.
    void OnSuggestPhrase();
    void OnKanaFocus();
    void OnKanaUpdate();
    void OnPasswordUpdate();
    void OnTypingFocus();
    void OnTypingUpdate();
    void OnPasswordCheck();
    void OnAbout();
    void OnEditTable();
    void ChangePrintFont();
    // The label print job: asks, reads the label from the print image and
    // starts sending it over the printer presence's link.
    void PrintLabel();
    // The job's end: a printer that stopped taking the label is said.
    void OnLabelPrinted(bool sent);

    // A control by its template id.
    template <typename T> T* Control(int id) const { return m_layout.Get<T>(id); }
    const dlg::Layout& Layout() const { return m_layout; }

    QString Password() const;
    const PasswordModel& Model() const { return m_model; }
    PrinterPresence& Printer() { return *m_printer; }
    const PrintPanel& PrintImagePanel() const { return m_printPanel; }
    const StrengthMeter& Strength() const { return *m_strength; }
    // Copies from the password field go through this.
    SecretClipboard& Clipboard() { return *m_clipboard; }

    // Closing remembers the options and the window position.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QWidget* CreateControl(const dlg::Control& control);
    void ShowPassword();
    // The options as the controls set them.
    void TakeOptions();
    // What a screen reader says of the password as the focus comes to the trial
    // field: the password a character at a time, its strength and the notice
    // of skipped characters.
    QString ConversionSaid() const;
    void ReportUnreadableTable(const LoadResult& loaded);

    PasswordModel m_model;
    QIcon m_icon;
    TypingResultArea m_typingArea;
    PrintPanel m_printPanel;
    PrinterPresence* m_printer;   // child
    SecretClipboard* m_clipboard; // child
    SkipNotice* m_skipNotice;     // child
    dlg::Layout m_layout;

    KanaLineEdit* m_kana;
    SecretLineEdit* m_password;
    QLineEdit* m_typed;
    QPushButton* m_convert;
    QPushButton* m_check;
    QPushButton* m_print;
    QCheckBox* m_useDigits;
    QCheckBox* m_useSymbols;
    WindowOptions m_options;
    StrengthMeter* m_strength;          // child
    QLabel* m_strengthLine;             // child
    std::optional<int> m_closeAfterJob; // a close asked for while a label printed
};
