// The program's window: its command line, the main dialog (what reaches the
// katakana field and the password made of it, what it remembers between runs,
// the typing test, the print button against the link library's virtual
// printer) and the about box. One wiring row per path: the core's tests hold
// the cases. Clocks, pauses and poll ticks are the test's.
#include "app/AboutAnimation.h"
#include "app/CAboutDlg.h"
#include "app/CPasswordDlg.h"
#include "app/CommandLine.h"
#include "app/HelpPage.h"
#include "app/PasswordDialogTemplate.h"
#include "app/SkipNotice.h"
#include "convert/Conversion.h"
#include "kana/KanaLineEdit.h"
#include "platform/CalendarTime.h"
#include "platform/Cp932.h"
#include "platform/CrtRandom.h"
#include "platform/Fonts.h"
#include "platform/QtText.h"
#include "platform/SecretClipboard.h"
#include "platform/Settings.h"
#include "platform/TickCount.h"
#include "print/FontChooser.h"
#include "print/PrintImage.h"
#include "print/PrintStyle.h"
#include "print/PrinterPresence.h"
#include "strength/StrengthMeter.h"
#include "support/GuiTestHelpers.h"
#include "support/IsolatedSettings.h"
#include "support/MessageBoxRecorder.h"
#include "table/DefaultTable.h"
#include "table/TableFile.h"
#include "tableedit/CTableEditDlg.h"
#include "tableedit/TableEditTemplate.h"
#include "tavopus/TavopusTesting.h"
#include "typing/ComparisonLine.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

using namespace app;

namespace {

// The main dialog as the program runs it: shown, with its first focus given,
// and closed at the end if the test left it open.
struct ShownDialog {
    ShownDialog() {
        dialog.Create();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
    }
    ~ShownDialog() {
        if (dialog.isVisible()) {
            dialog.EndDialog(IDCANCEL);
        }
    }
    QLineEdit* Edit(int id) const { return dialog.Item<QLineEdit>(id); }
    // Types into the katakana field (Latin letters as romaji); Enter converts.
    void Convert(const QString& text) {
        TypeText(Edit(app::IDC_KATAKANA), text);
        QTest::keyClick(Edit(app::IDC_KATAKANA), Qt::Key_Return);
    }
    CPasswordDlg dialog;
};

// The options as the dialog shows them: random case, digits, symbols.
QList<bool> Options(const CPasswordDlg& dialog) {
    return {dialog.IsDlgButtonChecked(IDC_RANDOM_CASE), dialog.IsDlgButtonChecked(IDC_USE_DIGITS),
            dialog.IsDlgButtonChecked(IDC_USE_SYMBOLS)};
}

QList<int> Defaults(const CPasswordDlg& dialog) {
    return {dialog.GetDefID(), int(dialog.HasDefaultStyle(IDC_CONVERT)),
            int(dialog.HasDefaultStyle(IDC_CHECK))};
}

// Pixels of a part of an image within `near` (summed over red, green and
// blue) of a colour: smoothed text is ink only well away from the face.
constexpr int kInk = 150;
int Count(const QImage& image, const QRect& rect, const QColor& c, int near = 0) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            const int off =
                std::abs(p.red() - c.red()) + std::abs(p.green() - c.green()) + std::abs(p.blue() - c.blue());
            count += off <= near ? 1 : 0;
        }
    }
    return count;
}

// The typing test's result area inside its frame, painted afresh.
QImage TypingResult(const CPasswordDlg& dialog) {
    QWidget* area = dialog.GetDlgItem(IDC_TYPING_RESULT);
    return area->grab().toImage().copy(2, 2, area->width() - 6, area->height() - 6);
}

// A message box by its buttons, its icon and its number of lines.
QString Box(platform::Buttons buttons, platform::Icon icon, qsizetype lines = 1) {
    return QString("%1 %2 %3").arg(int(buttons)).arg(int(icon)).arg(lines);
}
const QString kAsk = Box(platform::Buttons::OkCancel, platform::Icon::Question);
const QString kAskCut =
    Box(platform::Buttons::OkCancel, platform::Icon::Question, 2); // cut, then the question
const QString kNothing = Box(platform::Buttons::Ok, platform::Icon::Exclamation);
const QString kFinished = Box(platform::Buttons::Ok, platform::Icon::None);

QStringList Boxes(const MessageBoxRecorder& boxes) {
    QStringList said;
    for (const platform::MessageBoxRequest& box : boxes.shown) {
        said << Box(box.buttons, box.icon, box.text.count('\n') + 1);
    }
    return said;
}

} // namespace

class AppTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // The table file is read from the current folder; start from an empty one.
        QVERIFY(QDir::setCurrent(m_dir.path()));
        platform::SetTickCountSource([this] { return m_now; });
        platform::SetSleepFunction([this](std::uint32_t ms) {
            m_pausedMs += ms;
            const QCursor* cursor = QApplication::overrideCursor();
            m_idlePauses += cursor == nullptr || cursor->shape() != Qt::WaitCursor ? 1 : 0;
        });
    }
    void init() {
        m_settings = std::make_unique<IsolatedSettings>();
        m_now = 1000;
        m_pausedMs = 0;
        // Every test starts as the first opening of a fresh process.
        ProcessAboutAnimation() = AboutAnimation();
        ProcessRandom().srand(1);
        m_labels = std::make_unique<QTemporaryDir>();
        qputenv("TAVOPUS_VIRTUAL", m_labels->path().toUtf8());
        tavopus::testing::Reset();
    }
    void cleanup() {
        m_settings.reset();
        QFile::remove(m_dir.filePath(QString::fromLatin1(kTableFileName)));
        platform::SetCalendarTimeSource({});
        SetUrlOpener({});
        SetHelpPageCandidates({});
        SetFontChooserHandler({});
        QGuiApplication::clipboard()->clear();
        QCOMPARE(VisibleTopLevelWindows(), 0);
        QCOMPARE(m_idlePauses, 0); // the print job shows the busy cursor while it waits
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    // --- the command line and the data folder, before any window exists ---

    // The folder follows XDG_DATA_HOME, is created on first use and becomes the
    // working folder, where the table file is read and written. A file in its
    // place is said, and the working folder stays. (The other arguments: the
    // program tests next to this file.)
    void dataFolderIsCreatedAndEntered() {
        QVERIFY(CommandLine::Parse({"Q8xj", "--in-data-folder"}).useDataFolder);
        QVERIFY(!CommandLine::Parse({"Q8xj"}).useDataFolder);
        QVERIFY(!CommandLine::Parse({"Q8xj", "--in-data-folder", "--help"}).useDataFolder); // help wins
        for (const bool blocked : {false, true}) {
            QTemporaryDir home;
            qputenv("XDG_DATA_HOME", home.path().toUtf8());
            const QString expected = home.path() + QStringLiteral("/q8xj");
            QVERIFY(!blocked || QFile(expected).open(QIODevice::WriteOnly));
            QCOMPARE(CommandLine::DataFolder(), expected);
            QString error;
            QCOMPARE(CommandLine::EnterDataFolder(error), !blocked);
            QCOMPARE(QDir::current().canonicalPath(),
                     QDir(blocked ? m_dir.path() : expected).canonicalPath());
            QVERIFY2(blocked ? error.contains(QStringLiteral("q8xj")) : error.isEmpty(), qPrintable(error));
            QVERIFY(QDir::setCurrent(m_dir.path()));
        }
        qunsetenv("XDG_DATA_HOME");
    }

    // --- the main dialog ---

    // From a fresh start to Escape. The strength bar and line and the print
    // image follow the password field; the bar and line lie in free space of
    // the template.
    void mainDialogFromStartToClose() {
        MessageBoxRecorder boxes;
        ShownDialog d;
        QLineEdit* field = d.Edit(IDC_KATAKANA);
        const auto* line = d.dialog.findChild<QLabel*>(QStringLiteral("strengthLine"));
        const StrengthMeter& meter = d.dialog.Strength();
        QVERIFY(line->text().isEmpty() && !meter.Estimate());
        QCOMPARE(Options(d.dialog), (QList<bool>{false, true, true}));
        QVERIFY(d.dialog.IsDlgButtonChecked(IDC_CAPITAL_AFTER_SPACE));
        // The built-in table has no symbols: the box stays checked but cannot be used.
        QVERIFY(d.dialog.IsDlgItemEnabled(IDC_USE_DIGITS) && !d.dialog.IsDlgItemEnabled(IDC_USE_SYMBOLS));
        QCOMPARE(QApplication::focusWidget(), field);
        QCOMPARE(Defaults(d.dialog), (QList<int>{IDC_CONVERT, 1, 0}));
        QVERIFY(boxes.shown.empty());
        QVERIFY(!field->placeholderText().isEmpty());
        QVERIFY(d.dialog.windowIcon().availableSizes().contains(QSize(16, 16)));
        QCOMPARE(field->toolTip(), KanaLineEdit::TypingHint());
        // The label's 384 x 64 dots inside the frame, in pixels whatever the dialog font.
        QCOMPARE(d.dialog.GetDlgItem(IDC_PRINT_IMAGE)->size(), QSize(387, 67));
        // Keys carrying kana stop at the field's limit (a commit: inputMethodSequences).
        const QString full = U("ア").repeated(static_cast<qsizetype>(kKatakanaLimit / 2));
        TypeText(field, full + U("イ"));
        QCOMPARE(field->text(), full);
        field->clear();

        // A trailing n goes in first. Enter then moves on to the typing field
        // and never closes; Escape drops pending letters first, then closes.
        d.Convert(QStringLiteral("hon"));
        QCOMPARE(field->text(), U("ホン"));
        QTest::keyClicks(d.Edit(IDC_PASSWORD), QStringLiteral("x")); // the password is read-only
        QCOMPARE(d.Edit(IDC_PASSWORD)->text(), QStringLiteral("hn"));
        const auto estimate = strength::EstimatePassword("hn");
        QCOMPARE(meter.Estimate()->bits, estimate->bits);
        QCOMPARE(line->text(), ToQString(strength::DescribeEstimate(*estimate)));
        QCOMPARE(line->toolTip(), StrengthMeter::Explanation());
        QCOMPARE(d.dialog.GetDlgItem(IDC_PRINT_IMAGE)->grab().toImage().convertToFormat(QImage::Format_RGB32),
                 PrintImage::Render("hn", PrintStyle(&d.dialog)).convertToFormat(QImage::Format_RGB32));
        QCOMPARE(QApplication::focusWidget(), d.dialog.GetDlgItem(IDC_TYPING));
        QCOMPARE(Defaults(d.dialog), (QList<int>{IDC_CHECK, 0, 1}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(boxes.shown.size(), std::size_t{1}); // the empty typing field is said
        d.dialog.GotoDlgCtrl(IDC_KATAKANA);
        QCOMPARE(Defaults(d.dialog), (QList<int>{IDC_CONVERT, 1, 0}));
        QTest::keyClicks(field, QStringLiteral("ky"));
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(d.dialog.isVisible());
        QCOMPARE(field->text(), U("ホン"));
        field->clear();
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(line->text().isEmpty() && !meter.Estimate());
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(!d.dialog.isVisible());
        QCOMPARE(d.dialog.result(), int(IDCANCEL));
        const QRect added = meter.geometry().united(line->geometry());
        QVERIFY(d.dialog.rect().contains(added));
        for (const dlg::Control& c : kPasswordDialogControls) {
            const QRect rect = c.id == IDC_PRINT_IMAGE // sized for the label
                                   ? d.dialog.GetDlgItem(c.id)->geometry()
                                   : d.dialog.MapDialogRect(c.x, c.y, c.cx, c.cy);
            QVERIFY2(c.kind == dlg::Kind::GroupBox || !rect.intersects(added), c.text.data());
        }
    }

    // What a system input method sends: p a composition (empty: withdrawn), c
    // a commit, s the commit Qt's input context sends when the focus moves to
    // the convert button. The notice of skipped characters is gone once the
    // phrase changes.
    void inputMethodSequences() {
        const struct {
            QStringList events;
            QString field, password;
        } rows[] = {
            {{"pSakura", "p", "cSakura"}, U("Ｓａｋｕｒａ"), ""}, // a composition withdrawn, then committed
            {{U("pさくら"), "p", U("sさくら")}, "", ""},
            {{U("pさくら"), "p", U("sさくら"), U("cイ")}, U("サクライ"), "39r1"}, // the held commit first
        };
        for (const auto& row : rows) {
            ShownDialog d;
            QLineEdit* edit = d.Edit(IDC_KATAKANA);
            for (const QString& step : row.events) {
                QInputMethodEvent event(step.startsWith('p') ? step.mid(1) : QString(), {});
                event.setCommitString(step.startsWith('p') ? QString() : step.mid(1));
                QApplication::sendEvent(edit, &event);
                if (!step.startsWith('s')) {
                    QCoreApplication::processEvents(); // a real commit comes on its own
                }
            }
            QTest::mouseClick(d.dialog.Item<QPushButton>(IDC_CONVERT), Qt::LeftButton);
            QCoreApplication::processEvents(); // nothing held comes back after the focus moved
            QCOMPARE(edit->text(), row.field);
            QCOMPARE(d.Edit(IDC_PASSWORD)->text(), row.password);
            const auto* notice = d.dialog.findChild<SkipNotice*>();
            // The notice names the first characters no entry converts.
            QCOMPARE(notice->Notice().contains(U("Ｓ、ａ")), row.password.isEmpty() && !row.field.isEmpty());
            QVERIFY(notice->autoFillBackground()); // it covers the caption under it
            edit->insert(U("ア"));
            QCOMPARE(notice->Notice(), QString());
        }
    }

    // A damaged table file is said once and left as it is; the built-in
    // table serves the run. The shared generator is seeded from the calendar
    // time at each conversion.
    void damagedTableFileAndRandomCase() {
        const QString file = QDir::current().absoluteFilePath(QString::fromLatin1(kTableFileName));
        QVERIFY(QFile(file).open(QIODevice::WriteOnly)); // an empty file ends too early
        platform::SetCalendarTimeSource([] { return std::int64_t{1700000000}; });
        MessageBoxRecorder boxes;
        {
            ShownDialog d;
            QCOMPARE(boxes.shown.size(), std::size_t{1});
            const QString text = boxes.shown[0].text;
            QVERIFY2(text.contains(QDir::toNativeSeparators(file)), qPrintable(text));
            QVERIFY(text.contains(ToQString(DescribeTableReadError(TableReadError::EndOfFile)).trimmed()));
            d.dialog.CheckDlgButton(IDC_USE_DIGITS, false);
            d.dialog.Item<QRadioButton>(IDC_RANDOM_CASE)->click();
            TypeText(d.Edit(IDC_KATAKANA), U("アカサタナハマヤラワ"));
            ConversionTable table;
            FillDefaultTable(table);
            CrtRandom random;
            random.srand(1700000000u);
            const std::string expected =
                ConvertKatakana(cp932::Text("アカサタナハマヤラワ"), table, {false, true, true}, random);
            ProcessRandom().rand(); // draws before must not matter
            d.dialog.OnConvert();
            QCOMPARE(QString::fromStdString(d.dialog.Password()), QString::fromStdString(expected));
        }
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        QCOMPARE(QFileInfo(file).size(), qint64{0});
    }

    // The about button and the window menu's last entry open the about box;
    // the maps the table editor leaves set the option boxes; a missing help
    // page is said.
    void buttonsOpenTheirDialogs() {
        const QString page = QDir::current().absoluteFilePath(QStringLiteral("help/index.html"));
        SetHelpPageCandidates({page});
        SetUrlOpener([](const QUrl&) { return true; });
        MessageBoxRecorder boxes;
        ShownDialog d;
        for (const bool fromMenu : {false, true}) {
            bool opened = false;
            QTimer::singleShot(0, [&opened] {
                QWidget* about = QApplication::activeModalWidget();
                opened = qobject_cast<CAboutDlg*>(about) != nullptr;
                QTest::keyClick(about, Qt::Key_Escape);
            });
            if (fromMenu) { // the context menu, which goes once it closes
                QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(1, 1),
                                        d.dialog.mapToGlobal(QPoint(1, 1)));
                QApplication::sendEvent(&d.dialog, &event);
                QApplication::activePopupWidget()->actions().back()->trigger();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                QVERIFY(d.dialog.findChildren<QMenu*>().isEmpty());
            } else {
                QTest::mouseClick(d.dialog.Item<QPushButton>(IDC_ABOUT), Qt::LeftButton);
            }
            QVERIFY(opened);
        }
        QTimer::singleShot(0, [] {
            auto* editor = dynamic_cast<CTableEditDlg*>(QApplication::activeModalWidget());
            // Empty every slot and save: no digits and no symbols are left.
            for (auto* slot : editor->findChildren<QLineEdit*>()) {
                slot->clear();
            }
            editor->Item<QPushButton>(tableedit::kSaveId)->click();
        });
        QTest::mouseClick(d.dialog.Item<QPushButton>(IDC_EDIT_TABLE), Qt::LeftButton);
        QVERIFY(!d.dialog.IsDlgItemEnabled(IDC_USE_DIGITS) && !d.dialog.IsDlgItemEnabled(IDC_USE_SYMBOLS));
        QVERIFY(boxes.shown.empty());
        QTest::mouseClick(d.dialog.GetDlgItem(ID_HELP), Qt::LeftButton);
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        QVERIFY(boxes.shown[0].text.contains(QDir::toNativeSeparators(page)));
        QCOMPARE(boxes.shown[0].icon, platform::Icon::Stop);
        QVERIFY(d.dialog.isVisible());
    }

    // --- what the main dialog remembers between runs ---

    // Options, the print font and colour (kept when chosen; a cancelled choice
    // keeps nothing) and the window position come back in the next run.
    void settingsComeBack() {
        FontChoice chosen;
        {
            CPasswordDlg first;
            first.Create();
            first.Item<QRadioButton>(IDC_RANDOM_CASE)->click();
            first.CheckDlgButton(IDC_USE_DIGITS, false);
            first.CheckDlgButton(IDC_USE_SYMBOLS, false);
            SetFontChooserHandler([](QWidget*, const FontChoice&) { return std::optional<FontChoice>(); });
            first.Item<QPushButton>(IDC_CHANGE_FONT)->click();
            QVERIFY(!platform::OpenSettings()->contains(QStringLiteral("print/colour")));
            chosen = FontChoice{first.PrintImagePanel().Style().Description(), QColor(200, 0, 0)};
            chosen.font.italic = 1;
            SetFontChooserHandler([&](QWidget*, const FontChoice&) { return chosen; });
            first.Item<QPushButton>(IDC_CHANGE_FONT)->click();
            first.move(60, 50);
            first.EndDialog(IDCANCEL);
        }
        CPasswordDlg second;
        second.Create();
        QCOMPARE(Options(second), (QList<bool>{true, false, false}));
        QVERIFY(!second.IsDlgButtonChecked(IDC_CAPITAL_AFTER_SPACE));
        const PrintStyle& style = second.PrintImagePanel().Style();
        QCOMPARE(style.Description(), chosen.font);
        QCOMPARE(style.TextColour(), chosen.colour);
        QCOMPARE(second.pos(), QPoint(60, 50));
        // A position comes back only when the title bar lies wholly on a screen.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        for (const QVariant& position :
             {QVariant(QPoint(screen.right(), screen.top() + 30)), QVariant("hello")}) {
            platform::OpenSettings()->setValue(QStringLiteral("window/position"), position);
            CPasswordDlg third;
            third.Create();
            QVERIFY(!third.testAttribute(Qt::WA_Moved));
        }
    }

    // Copies from the password field are cleared after the time set (0:
    // never); what the user wrote stays as written, nothing written gets the default.
    void passwordCopiesAreCleared() {
        const struct {
            QVariant seconds; // as kept; invalid: none kept
            QList<int> scheduledMs;
        } rows[] = {{QVariant(), {30000}}, {0, {}}, {3600, {3600000}}, {3601, {30000}}, {"hello", {30000}}};
        for (const auto& row : rows) {
            if (row.seconds.isValid()) {
                platform::OpenSettings()->setValue(QStringLiteral("clipboard/clearSeconds"), row.seconds);
            }
            CPasswordDlg dialog;
            dialog.Create();
            QList<int> scheduled;
            dialog.Clipboard().SetScheduler([&](int ms, const std::function<void()>&) { scheduled << ms; });
            auto* field = dialog.Item<QLineEdit>(IDC_PASSWORD);
            field->setText(QStringLiteral("39r39r"));
            field->selectAll();
            QTest::keySequence(field, QKeySequence::Copy);
            QCOMPARE(scheduled, row.scheduledMs);
            dialog.EndDialog(IDCANCEL);
            QCOMPARE(platform::OpenSettings()->value(QStringLiteral("clipboard/clearSeconds")).toString(),
                     row.seconds.isValid() ? row.seconds.toString() : QStringLiteral("30"));
        }
    }

    // --- the typing test, with a test clock ---

    // Successive matches of the same password: the first, an equal time, a
    // faster, a slower. Blue marks a new best or its equal. The first attempt
    // starts at its first key, later ones at the check before; the counter may wrap.
    void typingMatchesKeepTheBestTime() {
        const struct {
            std::uint32_t duration, best;
            bool blue;
        } rows[] = {{700, 700, false}, {700, 700, true}, {650, 650, true}, {680, 650, false}};
        MessageBoxRecorder boxes;
        ShownDialog d;
        d.dialog.CheckDlgButton(IDC_USE_DIGITS, false);
        d.Convert(U("アカサタナ")); // a k s t n in the built-in table
        m_now = 0xFFFFFF00u;
        for (const auto& row : rows) {
            const std::uint32_t start = m_now;
            TypeText(d.Edit(IDC_TYPING), QStringLiteral("a"));
            m_now = start + row.duration / 2;
            TypeText(d.Edit(IDC_TYPING), QStringLiteral("kstn"));
            m_now = start + row.duration;
            QTest::keyClick(d.Edit(IDC_TYPING), Qt::Key_Return);
            QCOMPARE(d.Edit(IDC_TYPING)->text(), QString());
            QCOMPARE(d.dialog.Typing().StartTime(), m_now);
            QVERIFY(ToQString(d.dialog.Typing().Result().message).contains(QString::number(row.duration)));
            QCOMPARE(d.dialog.Typing().BestTime(), row.best);
            const QImage image = TypingResult(d.dialog);
            QCOMPARE(Count(image, image.rect(), Qt::blue, kInk) > 30, row.blue);
            QCOMPARE(Count(image, image.rect(), Qt::black, kInk) > 30, !row.blue);
        }
        // An empty field is refused in a box and shows nothing new.
        const QImage before = TypingResult(d.dialog);
        QTest::keyClick(d.Edit(IDC_TYPING), Qt::Key_Return);
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        QCOMPARE(boxes.shown[0].icon, platform::Icon::Exclamation);
        QCOMPARE(TypingResult(d.dialog), before);
        // A mistyped password: a R, K wrong, s R, x extra, t R, n R, in red and
        // underlined as they are wrong and extra; each glyph advances its width + 1.
        TypeText(d.Edit(IDC_TYPING), QStringLiteral("aKsxtn"));
        QTest::keyClick(d.Edit(IDC_TYPING), Qt::Key_Return);
        QVERIFY(d.dialog.Typing().Result().glyphs == ComparisonLine("akstn", "aKsxtn"));
        QWidget* area = d.dialog.GetDlgItem(IDC_TYPING_RESULT);
        QCOMPARE(area->font(), PointFont(QStringLiteral("MS UI Gothic"), 100, area)); // 10 points
        const QImage image = TypingResult(d.dialog);
        const QFontMetrics metrics(area->font());
        const int baseline = (image.height() - metrics.height()) / 2 + metrics.ascent();
        int x = 0;
        for (const Glyph& glyph : d.dialog.Typing().Result().glyphs) {
            const int advance = metrics.horizontalAdvance(QChar(glyph.byte));
            const QRect span(x, 0, advance, image.height());
            const bool red = glyph.kind != GlyphKind::Right;
            QVERIFY(Count(image, span, red ? Qt::red : Qt::black, kInk) > 0);
            QVERIFY(Count(image, span, red ? Qt::black : Qt::red, kInk) == 0);
            // Below the baseline only an underline spans a glyph's width.
            bool underlined = false;
            for (int y = baseline; y < image.height(); ++y) {
                underlined |= Count(image, QRect(x, y, advance - 1, 1), Qt::red, kInk) == advance - 1;
            }
            QCOMPARE(underlined, glyph.kind == GlyphKind::Extra);
            x += advance + 1;
        }
    }

    // --- the print button ---

    // Nothing is printed without a password or when the question is cancelled
    // (a password too wide for the label is said first). A label goes out
    // whether the printer answers or not, the one the print image shows, each
    // wait ending at the first answer; then the poll, where a second job keeps
    // the count.
    void printButtonAsksSendsAndPolls() {
        const struct {
            QString password;
            bool silent;
            int answer;
            int ticksBefore; // then a second, silent job; -1: none
            int ticksAfter;  // until the poll stops
            QStringList boxes;
        } rows[] = {
            {"", false, IDOK, -1, 0, {kNothing}},
            {QString(35, 'W'), false, IDCANCEL, -1, 0, {kAskCut}}, // too wide for the label
            {"WWW Q8xj", false, IDOK, -1, 1, {kAsk, kFinished}},
            {"WWW Q8xj", true, IDOK, 5, 16, {kAsk, kAsk}},
        };
        for (const auto& row : rows) {
            cleanup();
            init();
            QVERIFY(!row.silent || QFile(m_labels->filePath("silent")).open(QIODevice::WriteOnly));
            MessageBoxRecorder boxes;
            boxes.Answer(row.answer);
            CPasswordDlg dialog;
            dialog.Create();
            dialog.Item<QLineEdit>(IDC_PASSWORD)->setText(row.password);
            dialog.Item<QPushButton>(IDC_PRINT)->click();
            const bool sent = row.ticksAfter > 0;
            QImage printed(387, 67, QImage::Format_RGB32); // framed as the print image
            printed.fill(Qt::white);
            QPainter(&printed).drawImage(1, 1, QImage(m_labels->filePath("label-0001.png")));
            const LabelImage shown = PrintImage::Label(dialog.GetDlgItem(IDC_PRINT_IMAGE)->grab().toImage());
            QCOMPARE(PrintImage::Label(printed).Data() == shown.Data() && shown.DotCount() > 0, sent);
            QCOMPARE(m_pausedMs == 0, !sent);
            QCOMPARE(m_pausedMs == 470u, sent && !row.silent);
            for (int tick = 0; tick < row.ticksBefore; ++tick) {
                dialog.Printer().PollStatus();
            }
            if (row.ticksBefore >= 0) {
                dialog.Item<QPushButton>(IDC_PRINT)->click();
            }
            int ticks = 0;
            for (; dialog.Printer().IsPolling() && ticks < 30; ++ticks) {
                dialog.Printer().PollStatus();
            }
            QCOMPARE(ticks, row.ticksAfter);
            QCOMPARE(Boxes(boxes), row.boxes);
        }
    }

    // The print button follows the virtual printer through the device notices.
    // A print without a link (gone as the question was asked) reads the label
    // and drops it.
    void printButtonFollowsThePrinter() {
        MessageBoxRecorder boxes;
        CPasswordDlg dialog;
        dialog.Create();
        QVERIFY(dialog.IsDlgItemEnabled(IDC_PRINT));
        QVERIFY(QFile(m_labels->filePath("unplugged")).open(QIODevice::WriteOnly));
        QTRY_VERIFY(!dialog.IsDlgItemEnabled(IDC_PRINT));
        dialog.Item<QLineEdit>(IDC_PASSWORD)->setText(QStringLiteral("Q8xj"));
        dialog.PrintLabel();
        QCOMPARE(Boxes(boxes), QStringList{kAsk});
        QVERIFY(m_pausedMs == 0 && !QFile::exists(m_labels->filePath("label-0001.bin")));
        QVERIFY(QFile::remove(m_labels->filePath("unplugged")));
        QTRY_VERIFY(dialog.IsDlgItemEnabled(IDC_PRINT));
    }

    // --- the about box ---

    // Each tick draws the process's animation with the shared generator:
    // the fill behind; the picture's held cells solid blocks in the text
    // colour, and once the picture has gone the characters in it. The timer
    // runs while the box is open.
    void aboutBoxDrawsTheSharedAnimation() {
        CAboutDlg dialog;
        bool running = false, shared = true;
        AboutAnimation::Frame want;
        QImage first, grabbed;
        QTimer::singleShot(0, &dialog, [&] { // inside the modal loop, then closed as the user would
            running = dialog.IsTimerRunning(CAboutDlg::kAnimationTimer);
            for (int tick = 0; tick <= AboutAnimation::kHeldTicks; ++tick) {
                AboutAnimation model = ProcessAboutAnimation();
                CrtRandom random = ProcessRandom();
                want = model.Tick(random);
                dialog.OnTimer(CAboutDlg::kAnimationTimer);
                shared &= random.State() == ProcessRandom().State();
                first = first.isNull() ? dialog.LastFrame() : first;
            }
            grabbed = dialog.grab(dialog.AnimationRect()).toImage().convertToFormat(QImage::Format_RGB32);
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        QCOMPARE(dialog.DoModal(), int(IDCANCEL));
        QVERIFY(running && shared && !dialog.IsTimerRunning(CAboutDlg::kAnimationTimer));
        const QImage& frame = dialog.LastFrame();
        QCOMPARE(grabbed, frame);
        QCOMPARE(frame.pixelColor(frame.width() - 1, frame.height() - 1),
                 QColor(want.fill.red, want.fill.green, want.fill.blue)); // past the cells
        QVERIFY(Count(frame, frame.rect(), QColor(want.text.red, want.text.green, want.text.blue)) > 0);
        // A held cell of the first frame, whose text colour is black.
        const AboutAnimation::Grid mask = AboutAnimation::BuildMask();
        const auto held = std::find(mask.begin(), mask.end(), AboutAnimation::kHold) - mask.begin();
        const auto at =
            AboutAnimation::CellOrigin(int(held) % AboutAnimation::kColumns,
                                       int(held) / AboutAnimation::kColumns, first.width(), first.height());
        QCOMPARE(first.pixelColor(at.x + 2, at.y + 3), QColor(Qt::black));
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<IsolatedSettings> m_settings;
    std::unique_ptr<QTemporaryDir> m_labels; // the virtual printer's folder
    std::uint32_t m_now = 1000;
    std::uint32_t m_pausedMs = 0;
    int m_idlePauses = 0;
};

QTEST_MAIN(AppTest)
#include "AppTest.moc"
