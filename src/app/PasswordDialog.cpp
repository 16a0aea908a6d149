#include "app/PasswordDialog.h"

#include "app/AboutDialog.h"
#include "app/HelpPage.h"
#include "app/LabelExport.h"
#include "app/PasswordDialogTemplate.h"
#include "app/SkipNotice.h"
#include "kana/KanaLineEdit.h"
#include "platform/MessageBox.h"
#include "platform/PaintArea.h"
#include "platform/QtText.h"
#include "platform/SecretClipboard.h"
#include "platform/SecretLineEdit.h"
#include "platform/Settings.h"
#include "print/PackStrip.h"
#include "print/PrintStyleSettings.h"
#include "print/LabelPrintJob.h"
#include "print/PrinterPresence.h"
#include "strength/StrengthMeter.h"
#include "tableedit/TableEditDialog.h"
#include "typing/ResultLine.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

using namespace app;

namespace {

// Writes only a changed text, so that an unchanged one sends no change notice.
void SetText(QLineEdit& edit, const QString& text) {
    if (edit.text() != text) {
        edit.setText(text);
    }
}

} // namespace

PasswordDialog::PasswordDialog(QWidget* parent)
    : QDialog(parent)
    , m_icon(QStringLiteral(":/icons/q8xj-32.png"))
    , m_printer(new PrinterPresence(this))
    , m_clipboard(new SecretClipboard(this))
    , m_skipNotice(new SkipNotice(this))
    , m_layout(*this, kPasswordDialogTemplate, [this](const dlg::Control& c) { return CreateControl(c); })
    , m_kana(m_layout.Get<KanaLineEdit>(kKatakanaId))
    , m_password(m_layout.Get<SecretLineEdit>(kPasswordId))
    , m_typed(m_layout.Get<QLineEdit>(kTypingId))
    , m_convert(m_layout.Get<QPushButton>(kConvertId))
    , m_check(m_layout.Get<QPushButton>(kCheckId))
    , m_print(m_layout.Get<QPushButton>(kPrintId))
    , m_useDigits(m_layout.Get<QCheckBox>(kUseDigitsId))
    , m_useSymbols(m_layout.Get<QCheckBox>(kUseSymbolsId))
    , m_options{m_layout.Get<QRadioButton>(kRandomCaseId), m_layout.Get<QRadioButton>(kCapitalAfterSpaceId),
                m_useDigits, m_useSymbols}
    , m_strength(new StrengthMeter(this))
    , m_strengthLine(new QLabel(this)) {
    m_icon.addFile(QStringLiteral(":/icons/q8xj-16.png"));
    setWindowIcon(m_icon);

    const LoadResult loaded = m_model.LoadTable();
    if (loaded.source == LoadResult::Source::Failed) {
        ReportUnreadableTable(loaded);
    }

    // A focused button takes Enter itself; in the two fields the default
    // button follows the focus (see OnKanaFocus and OnTypingFocus), and Enter
    // never closes the dialog.
    for (auto* button : findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
        button->setAutoDefault(true);
    }
    m_convert->setDefault(true);
    m_kana->installEventFilter(this);
    m_typed->installEventFilter(this);

    connect(m_convert, &QPushButton::clicked, this, &PasswordDialog::OnConvert);
    connect(m_layout.Get<QPushButton>(kAboutId), &QPushButton::clicked, this, &PasswordDialog::OnAbout);
    connect(m_layout.Get<QPushButton>(kEditTableId), &QPushButton::clicked, this,
            &PasswordDialog::OnEditTable);
    connect(m_layout.Get<QPushButton>(kChangeFontId), &QPushButton::clicked, this,
            &PasswordDialog::ChangePrintFont);
    connect(m_print, &QPushButton::clicked, this, &PasswordDialog::PrintLabel);
    connect(m_layout.Get<QPushButton>(kHelpId), &QPushButton::clicked, this, &ShowHelpPage);
    connect(m_layout.Get<QPushButton>(kExitId), &QPushButton::clicked, this, &QDialog::reject);
    connect(m_check, &QPushButton::clicked, this, &PasswordDialog::OnPasswordCheck);
    connect(m_kana, &QLineEdit::textChanged, this, &PasswordDialog::OnKanaUpdate);
    connect(m_password, &QLineEdit::textChanged, this, &PasswordDialog::OnPasswordUpdate);
    connect(m_typed, &QLineEdit::textChanged, this, &PasswordDialog::OnTypingUpdate);
    connect(m_printer, &PrinterPresence::LinkChanged, this,
            [this](bool open) { m_print->setEnabled(open && !m_printer->IsPrinting()); });
    connect(m_printer, &PrinterPresence::JobFinished, this, &PasswordDialog::OnLabelPrinted);

    // The strength bar and line lie in free space of the template.
    const auto place = [this](QWidget* widget, const DialogRect& r, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        widget->setGeometry(m_layout.Map(r.x, r.y, r.cx, r.cy));
        widget->setToolTip(StrengthMeter::Explanation());
    };
    place(m_strength, kStrengthMeterRect, "strengthMeter");
    m_strengthLine->setTextFormat(Qt::PlainText);
    // Said with the bar, not as a line of the window's own each time a reader sums the window up.
    m_strengthLine->setBuddy(m_strength);
    place(m_strengthLine, kStrengthLineRect, "strengthLine");
    // The notice lies on the password's caption row, as wide as the password.
    for (std::size_t i = 1; i < kPasswordDialogControls.size(); ++i) {
        if (kPasswordDialogControls[i].id == kPasswordId) {
            const dlg::Control& caption = kPasswordDialogControls[i - 1];
            m_skipNotice->setGeometry(
                m_layout.Map(caption.x, caption.y, kPasswordDialogControls[i].cx, caption.cy));
        }
    }

    // Full-width katakana input is the katakana field's own business here: a
    // desktop gives a program no say over the input method's mode.
    m_kana->SetLimitText(static_cast<int>(kPhraseLimit.Bytes()));
    auto* suggest = new QAction(QStringLiteral("フレーズを提案(&F)"), m_kana);
    connect(suggest, &QAction::triggered, this, &PasswordDialog::OnSuggestPhrase);
    m_kana->AddMenuAction(suggest);
    m_options.capitalAfterSpace->setChecked(true);
    m_useDigits->setChecked(true);
    m_useSymbols->setChecked(true);
    m_useSymbols->setEnabled(m_model.CanUseSymbols());

    m_printer->Start();
    m_typingArea.Attach(m_layout.Get<PaintArea>(kTypingResultId), m_model.Typing());
    m_printPanel.Attach(m_layout.Get<PaintArea>(kPrintImageId));
    // On a screen too small for the window (a laptop at twice the scale) the controls scroll.
    m_layout.FitInto(*this, dlg::Layout::RoomOnScreen(*this), {});
    LoadWindowSettings(*this, m_options, m_printPanel, *m_clipboard);
}

// The feature objects give their areas back as members; the printer presence,
// a child, lets go of the link library last.
PasswordDialog::~PasswordDialog() = default;

// A table file that is there but cannot be read is not a reason to stop: the
// built-in table serves this run, and the file stays as it is.
void PasswordDialog::ReportUnreadableTable(const LoadResult& loaded) {
    const QString name = QDir::current().absoluteFilePath(QString::fromLatin1(kTableFileName));
    const QString problem =
        ToQString(DescribeLoadFailure(loaded, FromQString(name).value_or(std::string(kTableFileName))));
    platform::ShowMessage(QStringLiteral("変換表ファイルを読み込めませんでした。\n") + name +
                              QStringLiteral("\n\n") + problem +
                              QStringLiteral("\n\n今回は初期値の変換表を使います。ファイルは変更しません。"),
                          platform::Buttons::Ok, platform::Icon::Exclamation);
}

QWidget* PasswordDialog::CreateControl(const dlg::Control& control) {
    if (control.id == kKatakanaId) {
        // Typed romaji becomes full-width katakana here; the empty field says so.
        auto* edit = new KanaLineEdit;
        edit->setPlaceholderText(QStringLiteral("ローマ字で入力できます（sakura → サクラ）"));
        edit->setToolTip(KanaLineEdit::TypingHint());
        return edit;
    }
    if (control.id == kPasswordId) {
        auto* field = new SecretLineEdit(*m_clipboard);
        field->setReadOnly(true);
        return field;
    }
    return nullptr;
}

QString PasswordDialog::Password() const {
    return m_password->text();
}

// Everything that shows the password draws it from the model.
void PasswordDialog::ShowPassword() {
    SetText(*m_password, ToQString(m_model.Password()));
    m_printPanel.SetPassword(m_model.Password());
    const std::optional<strength::Estimate> estimate = m_model.Strength();
    m_strength->SetEstimate(estimate);
    m_strengthLine->setText(
        estimate ? ToQString(strength::DescribeEstimate(*estimate, m_model.StrengthFromSuggestion()))
                 : QString());
    // Qt 6.4 has no announcement: the trial field, which a conversion hands
    // the focus to, carries this as its description, read as the focus comes.
    m_typed->setAccessibleDescription(ConversionSaid());
}

void PasswordDialog::done(int result) {
    // What the printer receives stays whole: the window closes once the job ends.
    if (m_printer->IsPrinting()) {
        m_closeAfterJob = result;
        return;
    }
    SaveWindowSettings(*this, m_options, *m_clipboard);
    QDialog::done(result);
}

bool PasswordDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == m_kana) {
            OnKanaFocus();
        } else if (watched == m_typed) {
            OnTypingFocus();
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Focus in the katakana field: Enter there converts.
void PasswordDialog::OnKanaFocus() {
    m_check->setDefault(false);
    m_convert->setDefault(true);
}

// Focus in the typing field: Enter there runs the check.
void PasswordDialog::OnTypingFocus() {
    m_convert->setDefault(false);
    m_check->setDefault(true);
}

void PasswordDialog::TakeOptions() {
    m_model.SetOptions({.useDigits = m_useDigits->isChecked(),
                        .useSymbols = m_useSymbols->isChecked(),
                        .randomCase = m_options.randomCase->isChecked()});
}

void PasswordDialog::OnSuggestPhrase() {
    TakeOptions();
    const QString phrase = ToQString(m_model.Suggest(m_model.DefaultSuggestionWords()));
    // One edit of the field's own, so that its undo brings the old text back.
    m_kana->CommitPending();
    m_kana->selectAll();
    m_kana->insert(phrase);
    OnConvert();
}

void PasswordDialog::OnConvert() {
    // The field holds only what the model takes.
    m_model.SetPhrase(FromQString(m_kana->text()).value_or(std::string()));
    TakeOptions();
    m_model.Convert();
    m_typingArea.Redraw();
    ShowPassword();
    m_skipNotice->Show(ToQString(m_model.SkippedNotice()));
    m_typed->setFocus(Qt::OtherFocusReason);
}

QString PasswordDialog::ConversionSaid() const {
    const std::string& password = m_model.Password();
    QString said = password.empty() ? QStringLiteral("パスワードはありません")
                                    : QStringLiteral("パスワード ") + ToQString(SpokenCharacters(password));
    if (!m_strengthLine->text().isEmpty()) {
        said += QStringLiteral("、") + m_strengthLine->text();
    }
    if (const std::string notice = m_model.SkippedNotice(); !notice.empty()) {
        said += QStringLiteral("。") + ToQString(notice);
    }
    return said;
}

void PasswordDialog::OnTypingUpdate() {
    m_model.Typing().OnTextChanged();
}

// The notice of skipped characters speaks of the phrase it was made of.
void PasswordDialog::OnKanaUpdate() {
    m_skipNotice->Show({});
}

// A password written over the converted one is the password from now on.
void PasswordDialog::OnPasswordUpdate() {
    const std::string password = FromQString(m_password->text()).value_or(std::string());
    if (password != m_model.Password()) {
        m_model.SetPassword(password);
        ShowPassword();
    }
}

void PasswordDialog::OnPasswordCheck() {
    if (!m_model.CheckTyped(FromQString(m_typed->text()).value_or(std::string()))) {
        platform::ShowMessage(QStringLiteral("パスワードが入力されていません"), platform::Buttons::Ok,
                              platform::Icon::Exclamation);
        return;
    }
    m_typingArea.Redraw(TypingResultArea::ReadOut::Yes);
    // Emptying the field is a text change too, so the next attempt is
    // timed from here on.
    SetText(*m_typed, {});
}

void PasswordDialog::OnEditTable() {
    TableEditDialog editor(m_model);
    editor.exec();
    // Whichever way the editor closed, an empty map cannot be used.
    m_useDigits->setEnabled(m_model.CanUseDigits());
    m_useSymbols->setEnabled(m_model.CanUseSymbols());
}

void PasswordDialog::ChangePrintFont() {
    if (m_printPanel.ChangeFont(this)) {
        const PrintStyle& style = m_printPanel.Style();
        SavePrintStyle(*platform::OpenSettings(), FontChoice{style.Font(), style.TextColour()});
    }
}

void PasswordDialog::PrintLabel() {
    if (m_model.Password().empty()) {
        platform::ShowMessage(QStringLiteral("プリントするデータがありません"), platform::Buttons::Ok,
                              platform::Icon::Exclamation);
        return;
    }
    // A password the label cuts is said before it prints, so the font can be changed first.
    const QString ask = m_printPanel.PasswordFits()
                            ? QStringLiteral("プリントしますか？")
                            : QStringLiteral("パスワードがラベルに収まりません。\nプリントしますか？");
    if (platform::ShowMessage(ask, platform::Buttons::OkCancel, platform::Icon::Question) !=
        QMessageBox::Ok) {
        return;
    }
    // Read and packed even without a link, the same work either way.
    const std::array<PackedStrip, kStripCount> strips = PackLabel(m_printPanel.Label().Data());
    // The window goes on painting and answering; a second job waits for this one.
    QApplication::setOverrideCursor(Qt::BusyCursor);
    if (m_printer->StartLabel(strips)) {
        m_print->setEnabled(false);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void PasswordDialog::OnLabelPrinted(bool sent) {
    QApplication::restoreOverrideCursor();
    m_print->setEnabled(m_printer->IsLinked());
    if (!sent) {
        platform::ShowMessage(QString::fromUtf8(kJobStoppedMessage), platform::Buttons::Ok,
                              platform::Icon::Exclamation);
    }
    if (const std::optional<int> result = std::exchange(m_closeAfterJob, std::nullopt)) {
        done(*result);
    }
}

void PasswordDialog::OnAbout() {
    AboutDialog about(this);
    about.exec();
}

QMenu* PasswordDialog::CreateSystemMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->addAction(QStringLiteral("閉じる(&C)"), this, &QDialog::reject);
    menu->addSeparator();
    const bool password = !m_model.Password().empty();
    menu->addAction(QStringLiteral("ほかのプリンターで印刷(&P)..."), this,
                    [this] { labelexport::PrintElsewhere(this, m_model.Password(), m_printPanel.Style()); })
        ->setEnabled(password);
    menu->addAction(QStringLiteral("PDF として保存(&S)..."), this,
                    [this] { labelexport::SavePdf(this, m_model.Password(), m_printPanel.Style()); })
        ->setEnabled(password);
    if (!kAboutMenuText.empty()) {
        menu->addSeparator();
        menu->addAction(QString::fromUtf8(kAboutMenuText), this, &PasswordDialog::OnAbout);
    }
    return menu;
}

void PasswordDialog::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = CreateSystemMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
