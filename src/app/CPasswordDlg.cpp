#include "app/CPasswordDlg.h"

#include "app/CAboutDlg.h"
#include "app/CPasswordApp.h"
#include "convert/Conversion.h"
#include "platform/CalendarTime.h"
#include "platform/Cp932.h"
#include "platform/KanaLineEdit.h"
#include "platform/CrtRandom.h"
#include "platform/Fonts.h"
#include "platform/PaintArea.h"
#include "platform/QtText.h"
#include "table/DefaultTable.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <filesystem>

using namespace app;

namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const QString kUiFace = QStringLiteral("MS UI Gothic");

} // namespace

CPasswordDlg::CPasswordDlg(QWidget* parent)
    : CDialog(kPasswordDialogTemplate, parent)
    , m_icon(QStringLiteral(":/icons/q8xj-32.png")) {
    m_icon.addFile(QStringLiteral(":/icons/q8xj-16.png"));

    MapClicked(IDC_CONVERT, &CPasswordDlg::OnConvert);
    MapClicked(IDC_ABOUT, &CPasswordDlg::OnAbout);
    MapClicked(IDC_EDIT_TABLE, &CPasswordDlg::OnEditTable);
    MapClicked(IDC_CHANGE_FONT, &CPasswordDlg::ChangePrintFont);
    MapClicked(IDC_PRINT, &CPasswordDlg::PrintLabel);
    MapClicked(ID_HELP, &CPasswordDlg::OnHelp);
    MapSetFocus(IDC_TYPING, &CPasswordDlg::OnTypingFocus);
    MapSetFocus(IDC_KATAKANA, &CPasswordDlg::OnKanaFocus);
    MapClicked(IDC_CHECK, &CPasswordDlg::OnPasswordCheck);
    MapUpdate(IDC_TYPING, &CPasswordDlg::OnTypingUpdate);

    const LoadResult loaded = LoadConversionTable(m_table);
    if (loaded.source == LoadResult::Source::Failed) {
        ReportUnreadableTable(loaded.error);
    }
}

CPasswordDlg::~CPasswordDlg() {
    OnDestroy();
}

// A damaged table file is not a reason to stop: the built-in table serves this
// run, and the file stays as it is until the editor saves or restores defaults.
void CPasswordDlg::ReportUnreadableTable(TableReadError error) {
    m_table.RemoveAll();
    FillDefaultTable(m_table);

    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(kTableFileName, ec);
    const std::string name =
        cp932::FromUtf8(ec ? std::string(kTableFileName) : full.string()).value_or(kTableFileName);
    // The end-of-file wording expects the file name in front of it.
    const std::string problem = error == TableReadError::EndOfFile ? name + DescribeTableReadError(error)
                                                                   : DescribeTableReadError(error);
    AfxMessageBox(cp932::Text("変換表ファイルを読み込めませんでした。\n") + name + "\n\n" + problem +
                      cp932::Text("\n\n今回は初期値の変換表を使います。ファイルは変更しません。"),
                  MB_OK | MB_ICONEXCLAMATION);
}

QWidget* CPasswordDlg::CreateControl(const dlg::Control& control) {
    if (control.id == IDC_KATAKANA) {
        return new KanaLineEdit; // typed romaji becomes full-width katakana here
    }
    return nullptr;
}

void CPasswordDlg::DoDataExchange(bool save) {
    if (m_typingEdit == nullptr) {
        m_typingEdit = Item<QLineEdit>(IDC_TYPING);
        m_convertButton = Item<QPushButton>(IDC_CONVERT);
        m_checkButton = Item<QPushButton>(IDC_CHECK);
        m_passwordEdit = Item<QLineEdit>(IDC_PASSWORD);
        m_printButton = Item<QPushButton>(IDC_PRINT);
    }
    DDX_Text(save, IDC_KATAKANA, m_katakana);
    if (!save) {
        if (auto* edit = Item<Cp932LineEdit>(IDC_KATAKANA)) {
            edit->SetLimitText(kKatakanaLimit);
        }
    }
    DDX_Text(save, IDC_PASSWORD, m_password);
    DDX_Text(save, IDC_TYPING, m_typed);
}

bool CPasswordDlg::OnInitDialog() {
    // The window menu entry lives in a context menu (see CreateSystemMenu).
    setWindowIcon(m_icon);

    m_bestTypingTime = 0;
    m_typingStartTime = 0;

    // Full-width katakana input is the katakana field's own business here: a
    // desktop gives a program no say over the input method's mode.

    CheckDlgButton(IDC_CAPITAL_AFTER_SPACE, true);
    CheckDlgButton(IDC_USE_DIGITS, true);
    CheckDlgButton(IDC_USE_SYMBOLS, true);
    if (m_table.symbols.IsEmpty()) {
        EnableDlgItem(IDC_USE_SYMBOLS, false);
    }

    UpdateData(false);

    StartPrinterPresence();

    m_resultWnd = GetDlgItem(IDC_TYPING_RESULT);
    m_resultDC = Item<PaintArea>(IDC_TYPING_RESULT);
    m_resultFont = PointFont(kUiFace, 100, this);
    m_resultPreviousFont = m_resultWnd->font();
    m_resultWnd->setFont(m_resultFont);
    m_resultDC->SetPainter([this](QPainter& painter) { DrawTypingResult(painter); });

    m_printWnd = GetDlgItem(IDC_PRINT_IMAGE);
    m_printDC = Item<PaintArea>(IDC_PRINT_IMAGE);
    m_printStyle = PrintStyle(this); // "MS UI Gothic" 36 points, black
    m_printPreviousFont = m_printWnd->font();
    m_printWnd->setFont(m_printStyle.Font());
    m_printDC->SetPainter([this](QPainter& painter) { DrawPrintImage(painter); });

    // Pixels, not dialog units: the label image is 384 x 64 dots plus the frame.
    m_printWnd->setGeometry(m_printWnd->x(), m_printWnd->y(), kPrintImageWidth, kPrintImageHeight);
    return true;
}

// Shut-down, in the reverse order of taking: fonts given back to the areas.
// The help viewer is the desktop's own program and is left running. The
// printer link library is let go of last.
void CPasswordDlg::OnDestroy() {
    if (m_resultWnd != nullptr) {
        m_resultDC->SetPainter({});
        m_resultWnd->setFont(m_resultPreviousFont);
        m_resultDC = nullptr;
        m_resultWnd = nullptr;
    }
    if (m_printWnd != nullptr) {
        m_printDC->SetPainter({});
        m_printWnd->setFont(m_printPreviousFont);
        m_printDC = nullptr;
        m_printWnd = nullptr;
    }
    EndPrinterPresence();
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
    m_bestTypingTime = 0;
    ClearTypingResult();
    UpdateData(true);

    ConversionOptions options;
    options.useDigits = IsDlgButtonChecked(IDC_USE_DIGITS);
    options.useSymbols = IsDlgButtonChecked(IDC_USE_SYMBOLS) && !m_table.symbols.IsEmpty();
    options.randomCase = IsDlgButtonChecked(IDC_RANDOM_CASE);
    if (options.randomCase) {
        ProcessRandom().srand(static_cast<std::uint32_t>(CalendarTime()));
    }
    m_password = ConvertKatakana(m_katakana, m_table, options, ProcessRandom());

    UpdateData(false);
    GotoDlgCtrl(IDC_TYPING);
    InvalidatePrintImage();
}

void CPasswordDlg::InvalidatePrintImage() {
    if (m_printWnd != nullptr) {
        m_printWnd->update();
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
    if (!kAboutMenuText.empty()) {
        menu->addSeparator();
        menu->addAction(FromUtf8(kAboutMenuText), this, &CPasswordDlg::OnAbout);
    }
    return menu;
}

void CPasswordDlg::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = CreateSystemMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void CPasswordDlg::paintEvent(QPaintEvent* event) {
    CDialog::paintEvent(event);
    // The paint handler leaves the controls' current text in the members.
    UpdateData(true);
}
