#include "app/CPasswordDlg.h"

#include "app/CAboutDlg.h"
#include "app/CPasswordApp.h"
#include "app/PasswordDialogTemplate.h"
#include "app/SkipNotice.h"
#include "convert/Conversion.h"
#include "files/FileWriter.h"
#include "kana/KanaLineEdit.h"
#include "platform/Cp932.h"
#include "platform/CrtRandom.h"
#include "platform/FileErrorText.h"
#include "platform/PaintArea.h"
#include "platform/QtText.h"
#include "platform/SaveFileDialog.h"
#include "platform/SecretClipboard.h"
#include "platform/SecretLineEdit.h"
#include "platform/Settings.h"
#include "print/LabelSheet.h"
#include "print/PackStrip.h"
#include "print/PrintStyleSettings.h"
#include "print/PrinterPresence.h"
#include "strength/StrengthMeter.h"
#include "table/DefaultTable.h"
#include "tableedit/CTableEditDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QFile>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>

using namespace app;

namespace {

// What the program remembers besides the print style (see PrintStyleSettings).
const QString kRandomCaseKey = QStringLiteral("options/randomCase");
const QString kUseDigitsKey = QStringLiteral("options/useDigits");
const QString kUseSymbolsKey = QStringLiteral("options/useSymbols");
const QString kPositionKey = QStringLiteral("window/position");
const QString kClearSecondsKey = QStringLiteral("clipboard/clearSeconds");

using platform::FromUtf8;

// The print job holds the interface for half a second or more, and for
// seconds when the printer does not answer: the busy cursor shows it has not hung.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The window's one write of a file of its own, the label's PDF: whole or not
// at all. This is the place to hand the bytes to the program's file layer.
} // namespace

CPasswordDlg::CPasswordDlg(QWidget* parent)
    : CDialog(kPasswordDialogTemplate, parent)
    , m_icon(QStringLiteral(":/icons/q8xj-32.png"))
    , m_printer(new PrinterPresence(this))
    , m_clipboard(new SecretClipboard(this))
    , m_skipNotice(new SkipNotice(this)) {
    m_icon.addFile(QStringLiteral(":/icons/q8xj-16.png"));

    MapClicked(IDC_CONVERT, &CPasswordDlg::OnConvert);
    MapClicked(IDC_ABOUT, &CPasswordDlg::OnAbout);
    MapClicked(IDC_EDIT_TABLE, &CPasswordDlg::OnEditTable);
    MapClicked(IDC_CHANGE_FONT, &CPasswordDlg::ChangePrintFont);
    MapClicked(IDC_PRINT, &CPasswordDlg::PrintLabel);
    MapClicked(ID_HELP, &CPasswordDlg::OnHelp);
    MapClicked(IDC_CHECK, &CPasswordDlg::OnPasswordCheck);
    MapSetFocus(IDC_TYPING, &CPasswordDlg::OnTypingFocus);
    MapSetFocus(IDC_KATAKANA, &CPasswordDlg::OnKanaFocus);
    MapUpdate(IDC_KATAKANA, &CPasswordDlg::OnKanaUpdate);
    MapUpdate(IDC_PASSWORD, &CPasswordDlg::OnPasswordUpdate);
    MapUpdate(IDC_TYPING, &CPasswordDlg::OnTypingUpdate);

    const LoadResult loaded = LoadConversionTable(m_table);
    if (loaded.source == LoadResult::Source::Failed) {
        ReportUnreadableTable(loaded.error);
    }
}

// The feature objects give their areas back as members; the printer presence,
// a child, lets go of the link library last.
CPasswordDlg::~CPasswordDlg() = default;

// A damaged table file is not a reason to stop: the built-in table serves this
// run, and the file stays as it is until the editor saves or restores defaults.
void CPasswordDlg::ReportUnreadableTable(TableReadError error) {
    m_table.RemoveAll();
    FillDefaultTable(m_table);

    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(kTableFileName, ec);
    const std::string name =
        ec || !cp932::Length(full.string()) ? std::string(kTableFileName) : full.string();
    const std::string problem = DescribeTableReadError(error, name);
    platform::AppMessageBox(std::string("変換表ファイルを読み込めませんでした。\n") + name + "\n\n" +
                                problem +
                                std::string("\n\n今回は初期値の変換表を使います。ファイルは変更しません。"),
                            platform::Buttons::Ok, platform::Icon::Exclamation);
}

QWidget* CPasswordDlg::CreateControl(const dlg::Control& control) {
    if (control.id == IDC_KATAKANA) {
        // Typed romaji becomes full-width katakana here; the empty field says so.
        auto* edit = new KanaLineEdit;
        edit->setPlaceholderText(QString::fromUtf8("ローマ字で入力できます（sakura → サクラ）"));
        edit->setToolTip(KanaLineEdit::TypingHint());
        return edit;
    }
    if (control.id == IDC_PASSWORD) {
        auto* field = new SecretLineEdit(*m_clipboard);
        field->setReadOnly(true);
        return field;
    }
    return nullptr;
}

void CPasswordDlg::DoDataExchange(bool save) {
    DDX_Text(save, IDC_KATAKANA, m_katakana);
    DDX_Text(save, IDC_PASSWORD, m_password);
    DDX_Text(save, IDC_TYPING, m_typed);
}

void CPasswordDlg::ShowStrength(std::string_view password) {
    const std::optional<strength::Estimate> estimate = strength::EstimatePassword(password);
    m_strength->SetEstimate(estimate);
    m_strengthLine->setText(estimate ? ToQString(strength::DescribeEstimate(*estimate)) : QString());
}

bool CPasswordDlg::OnInitDialog() {
    const auto place = [this](QWidget* widget, const DialogRect& r, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        widget->setGeometry(MapDialogRect(r.x, r.y, r.cx, r.cy));
        widget->setToolTip(StrengthMeter::Explanation());
        widget->show();
    };
    m_strength = new StrengthMeter(this);
    place(m_strength, kStrengthMeterRect, "strengthMeter");
    m_strengthLine = new QLabel(this);
    m_strengthLine->setTextFormat(Qt::PlainText);
    place(m_strengthLine, kStrengthLineRect, "strengthLine");
    // The printer's own notice, not a control's: no message map entry for it.
    connect(m_printer, &PrinterPresence::LinkChanged, Item<QPushButton>(IDC_PRINT), &QWidget::setEnabled);
    // The notice lies on the password's caption row, as wide as the password.
    for (std::size_t i = 1; i < kPasswordDialogControls.size(); ++i) {
        if (kPasswordDialogControls[i].id == IDC_PASSWORD) {
            const dlg::Control& caption = kPasswordDialogControls[i - 1];
            m_skipNotice->setGeometry(
                MapDialogRect(caption.x, caption.y, kPasswordDialogControls[i].cx, caption.cy));
        }
    }
    // The window menu entry lives in a context menu (see CreateSystemMenu).
    setWindowIcon(m_icon);

    // Full-width katakana input is the katakana field's own business here: a
    // desktop gives a program no say over the input method's mode.
    Item<LimitedLineEdit>(IDC_KATAKANA)->SetLimitText(static_cast<int>(kKatakanaLimit));

    CheckDlgButton(IDC_CAPITAL_AFTER_SPACE, true);
    CheckDlgButton(IDC_USE_DIGITS, true);
    CheckDlgButton(IDC_USE_SYMBOLS, true);
    if (m_table.symbols.IsEmpty()) {
        EnableDlgItem(IDC_USE_SYMBOLS, false);
    }

    UpdateData(false);

    m_printer->Start();
    m_typingArea.Attach(Item<PaintArea>(IDC_TYPING_RESULT), m_typing);
    m_printPanel.Attach(Item<PaintArea>(IDC_PRINT_IMAGE));
    LoadSettings();
    return true;
}

// Whether the window's title bar, with its top-left corner at `position`,
// lies wholly on one screen's usable area, where the user can grab it.
bool CPasswordDlg::TitleBarOnOneScreen(QPoint position) const {
    const QRect titleBar(position,
                         QSize(width(), style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this)));
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [&titleBar](const QScreen* screen) {
        return screen->availableGeometry().contains(titleBar);
    });
}

// Whatever is missing or unusable keeps the start-up state.
void CPasswordDlg::LoadSettings() {
    const auto settings = platform::OpenSettings();
    if (settings->contains(kRandomCaseKey)) {
        const bool random = settings->value(kRandomCaseKey).toBool();
        CheckDlgButton(IDC_RANDOM_CASE, random);
        CheckDlgButton(IDC_CAPITAL_AFTER_SPACE, !random);
    }
    if (settings->contains(kUseDigitsKey)) {
        CheckDlgButton(IDC_USE_DIGITS, settings->value(kUseDigitsKey).toBool());
    }
    if (settings->contains(kUseSymbolsKey)) {
        CheckDlgButton(IDC_USE_SYMBOLS, settings->value(kUseSymbolsKey).toBool());
    }
    if (const std::optional<FontChoice> style = LoadPrintStyle(*settings)) {
        m_printPanel.SetStyle(style->font, style->colour);
    }
    bool ok = false;
    const int seconds = settings->value(kClearSecondsKey).toInt(&ok);
    m_clipboard->SetClearSeconds(ok ? seconds : SecretClipboard::kDefaultClearSeconds);
    // Anything else than a point whose title bar can be reached leaves the
    // window where a fresh start puts it.
    const QVariant position = settings->value(kPositionKey);
    if (position.typeId() == QMetaType::QPoint && TitleBarOnOneScreen(position.toPoint())) {
        move(position.toPoint());
    }
}

void CPasswordDlg::SaveSettings() const {
    const auto settings = platform::OpenSettings();
    settings->setValue(kRandomCaseKey, IsDlgButtonChecked(IDC_RANDOM_CASE));
    settings->setValue(kUseDigitsKey, IsDlgButtonChecked(IDC_USE_DIGITS));
    settings->setValue(kUseSymbolsKey, IsDlgButtonChecked(IDC_USE_SYMBOLS));
    // Only written to show where it is set: a figure the user wrote stays as
    // written, even one taken as the default.
    if (!settings->contains(kClearSecondsKey)) {
        settings->setValue(kClearSecondsKey, m_clipboard->ClearSeconds());
    }
    settings->setValue(kPositionKey, pos());
}

void CPasswordDlg::done(int result) {
    if (GetDlgItem(IDC_CONVERT) != nullptr) { // built: there is something to remember
        SaveSettings();
    }
    CDialog::done(result);
}

void CPasswordDlg::OnKanaFocus() {
    if (HasDefaultStyle(IDC_CHECK)) {
        SetDefaultStyle(IDC_CHECK, false);
    }
    if (!HasDefaultStyle(IDC_CONVERT)) {
        SetDefID(IDC_CONVERT);
        SetDefaultStyle(IDC_CONVERT, true);
    }
}

void CPasswordDlg::OnConvert() {
    m_typing.NewPassword();
    m_typingArea.Redraw();
    UpdateData(true);

    ConversionOptions options;
    options.useDigits = IsDlgButtonChecked(IDC_USE_DIGITS);
    options.useSymbols = IsDlgButtonChecked(IDC_USE_SYMBOLS) && !m_table.symbols.IsEmpty();
    options.randomCase = IsDlgButtonChecked(IDC_RANDOM_CASE);
    if (options.randomCase) {
        ProcessRandom().srand(UnpredictableSeed());
    }
    std::vector<ConversionStep> steps;
    m_password = ConvertKatakana(m_katakana, m_table, options, ProcessRandom(), &steps);

    UpdateData(false); // the print image follows the password field
    GotoDlgCtrl(IDC_TYPING);
    m_skipNotice->Show(ToQString(SkippedNotice(m_katakana, steps)));
}

// Focus in the typing field: Enter there runs the check. Unlike the katakana
// field's handler this runs every step every time.
void CPasswordDlg::OnTypingFocus() {
    SetDefaultStyle(IDC_CONVERT, false);
    SetDefID(IDC_CHECK);
    SetDefaultStyle(IDC_CHECK, true);
}

void CPasswordDlg::OnTypingUpdate() {
    m_typing.OnTextChanged();
}

// The notice of skipped characters speaks of the phrase it was made of.
void CPasswordDlg::OnKanaUpdate() {
    m_skipNotice->Show({});
}

// What the password field shows is what the print image shows and prints.
void CPasswordDlg::OnPasswordUpdate() {
    const std::string password = FromQString(Item<QLineEdit>(IDC_PASSWORD)->text()).value_or(std::string());
    m_printPanel.SetPassword(password);
    ShowStrength(password);
}

void CPasswordDlg::OnPasswordCheck() {
    UpdateData(true);
    if (!m_typing.Check(m_password, m_typed)) {
        platform::AppMessageBox(std::string("パスワードが入力されていません"), platform::Buttons::Ok,
                                platform::Icon::Exclamation);
        return;
    }
    m_typingArea.Redraw();
    // Emptying the field is a text change too, so the next attempt is
    // timed from here on.
    m_typed.clear();
    UpdateData(false);
}

void CPasswordDlg::OnEditTable() {
    CTableEditDlg editor;
    editor.EditTable(m_table);
    // Whichever way the editor closed, an empty map cannot be used.
    EnableDlgItem(IDC_USE_DIGITS, !m_table.digits.IsEmpty());
    EnableDlgItem(IDC_USE_SYMBOLS, !m_table.symbols.IsEmpty());
}

void CPasswordDlg::ChangePrintFont() {
    if (m_printPanel.ChangeFont(this)) {
        const PrintStyle& style = m_printPanel.Style();
        SavePrintStyle(*platform::OpenSettings(), FontChoice{style.Font(), style.TextColour()});
    }
}

LabelImage CPasswordDlg::CaptureLabelImage() const {
    return m_printPanel.Label();
}

void CPasswordDlg::PrintLabel() {
    UpdateData(true);
    if (m_password.empty()) {
        platform::AppMessageBox(std::string("プリントするデータがありません"), platform::Buttons::Ok,
                                platform::Icon::Exclamation);
        return;
    }
    // A password the label cuts is said before it prints, so the font can be changed first.
    const std::string ask = m_printPanel.PasswordFits()
                                ? std::string("プリントしますか？")
                                : std::string("パスワードがラベルに収まりません。\nプリントしますか？");
    if (platform::AppMessageBox(ask, platform::Buttons::OkCancel, platform::Icon::Question) != IDOK) {
        return;
    }
    const BusyCursor busy;
    // Read and packed even without a link, the same work either way.
    m_printer->SendLabel(PackLabel(CaptureLabelImage().Data()));
}

void CPasswordDlg::OnPrintElsewhere() {
    UpdateData(true);
    if (m_password.empty()) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromUtf8("Q8xj ラベル"));
    QPrintDialog dialog(&printer, this);
    // One page; a file is saved with "PDF として保存...", not from here.
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintCollateCopies);
    dialog.setMinMax(1, 1);
    auto* labelTab = new QWidget;
    labelTab->setWindowTitle(QString::fromUtf8("ラベル"));
    auto* frame = new QCheckBox(QString::fromUtf8("切り取り線を印刷する(&F)"), labelTab);
    frame->setChecked(true);
    auto* layout = new QVBoxLayout(labelTab);
    layout->addWidget(frame);
    layout->addStretch();
    dialog.setOptionTabs({labelTab});
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const BusyCursor busy;
    if (!LabelSheet(m_password, m_printPanel.Style(), frame->isChecked()).Print(printer)) {
        const std::string queue = FromQString(printer.printerName()).value_or(std::string());
        platform::AppMessageBox(std::string("プリンター「") + queue +
                                    std::string("」で印刷できませんでした。"),
                                platform::Buttons::Ok, platform::Icon::Exclamation);
    }
}

void CPasswordDlg::OnSavePdf() {
    UpdateData(true);
    if (m_password.empty()) {
        return;
    }
    QString path = platform::AskSaveFileName(
        this, {QString::fromUtf8("PDF として保存"), QDir::home().filePath(QString::fromUtf8("ラベル.pdf")),
               QString::fromUtf8("PDF (*.pdf)"), QStringLiteral("pdf")});
    if (path.isEmpty()) {
        return;
    }
    // A name with another extension (backup.xj) gets .pdf too, so no other file is written over.
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        path += QStringLiteral(".pdf");
    }
    const QByteArray pdf = LabelSheet(m_password, m_printPanel.Style(), true).Pdf();
    const std::error_code error =
        files::WriteFile(QFile::encodeName(path).toStdString(),
                         std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())),
                         files::Target::Output, kTableFileName);
    if (error) {
        const std::string name = FromQString(QDir::toNativeSeparators(path)).value_or(std::string());
        platform::AppMessageBox(std::string("PDF ファイルを保存できませんでした。\r\n") +
                                    FileErrorText(error, name),
                                platform::Buttons::Ok, platform::Icon::Exclamation);
    }
}

void CPasswordDlg::OnAbout() {
    CAboutDlg about(this);
    about.DoModal();
}

// The help command belongs to the application, as every dialog's does.
void CPasswordDlg::OnHelp() {
    CPasswordApp::OnHelp();
}

QMenu* CPasswordDlg::CreateSystemMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->addAction(QString::fromUtf8("閉じる(&C)"), this, [this] { OnCancel(); });
    menu->addSeparator();
    const bool password = !m_password.empty();
    menu->addAction(QString::fromUtf8("ほかのプリンターで印刷(&P)..."), this, &CPasswordDlg::OnPrintElsewhere)
        ->setEnabled(password);
    menu->addAction(QString::fromUtf8("PDF として保存(&S)..."), this, &CPasswordDlg::OnSavePdf)
        ->setEnabled(password);
    if (!kAboutMenuText.empty()) {
        menu->addSeparator();
        menu->addAction(QString::fromUtf8(kAboutMenuText), this, &CPasswordDlg::OnAbout);
    }
    return menu;
}

void CPasswordDlg::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = CreateSystemMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
