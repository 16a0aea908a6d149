// The program's window: its command line, the main dialog (what reaches the
// katakana field and the password made of it, what it remembers between runs,
// the typing test, the print button against the link library's virtual
// printer), the about box, and what any desktop asks of the dialogs (names
// for a screen reader, colours for a dark theme). One wiring row per path:
// the core's tests hold the cases. Clocks, pauses and poll ticks are the test's.
#include "app/AboutAnimation.h"
#include "app/AboutDialog.h"
#include "app/PasswordDialog.h"
#include "app/CommandLine.h"
#include "app/HelpPage.h"
#include "app/LabelExport.h"
#include "app/PasswordDialogTemplate.h"
#include "app/SkipNotice.h"
#include "app/WindowSettings.h"
#include "kana/KanaLineEdit.h"
#include "platform/CalendarTime.h"
#include "platform/CrtRandom.h"
#include "platform/Fonts.h"
#include "platform/PaintArea.h"
#include "platform/QtText.h"
#include "platform/SecretClipboard.h"
#include "platform/Settings.h"
#include "platform/Clock.h"
#include "print/FontChooser.h"
#include "print/LabelPrinting.h"
#include "print/PrintImage.h"
#include "print/PrintStyle.h"
#include "print/PrinterPresence.h"
#include "strength/StrengthMeter.h"
#include "support/GuiTestHelpers.h"
#include "support/IsolatedSettings.h"
#include "support/MessageBoxRecorder.h"
#include "table/TableFile.h"
#include "tableedit/TableEditDialog.h"
#include "tableedit/TableEditTemplate.h"
#include "tavopus/TavopusTesting.h"
#include "typing/ComparisonLine.h"

#include <QAccessible>
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
#include <cmath>
#include <cstdlib>
#include <optional>

using namespace app;

namespace {

// The main dialog as the program runs it: shown, with its first focus given.
struct ShownDialog : PasswordDialog {
    ShownDialog() {
        show();
        QVERIFY(QTest::qWaitForWindowActive(this));
    }
    QLineEdit* Edit(int id) const { return Control<QLineEdit>(id); }
    bool Enabled(int id) const { return Control<QWidget>(id)->isEnabled(); }
    // Random, capital after a space, digits, symbols.
    QList<bool> Options() const {
        QList<bool> checked;
        for (const int id : {kRandomCaseId, kCapitalAfterSpaceId, kUseDigitsId, kUseSymbolsId})
            checked << Control<QAbstractButton>(id)->isChecked();
        return checked;
    }
    // Which of the convert and check buttons is the default one.
    QList<bool> Defaults() const {
        return {Control<QPushButton>(kConvertId)->isDefault(), Control<QPushButton>(kCheckId)->isDefault()};
    }
};

// Pixels of a part of an image within `near` (summed over red, green and
// blue) of a colour: smoothed text is ink only well away from the face.
constexpr int kInk = 150;
int Pixels(const QImage& image, const QRect& rect, const QColor& c, int near = 0) {
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
QImage TypingResult(const PasswordDialog& dialog) {
    QWidget* area = dialog.Control<QWidget>(kTypingResultId);
    return area->grab().toImage().copy(2, 2, area->width() - 6, area->height() - 6);
}

// Each message box by its icon and its number of lines.
using platform::Icon;
using Said = QList<std::pair<Icon, qsizetype>>;
Said Boxes(const MessageBoxRecorder& boxes) {
    Said said;
    for (const platform::MessageBoxRequest& box : boxes.shown)
        said.append({box.icon, box.text.count('\n') + 1});
    return said;
}

} // namespace

// The test's own time (ticks it sets, pauses counted, a fixed calendar), and no browser starts.
class AppTest : public QObject, platform::Clock, platform::CalendarClock, HelpViewer {
    Q_OBJECT
    std::uint32_t Milliseconds() override { return m_now; }
    void Pause(std::chrono::milliseconds ms) override {
        m_pausedMs += static_cast<std::uint32_t>(ms.count());
        const QCursor* cursor = QApplication::overrideCursor();
        m_idlePauses += cursor == nullptr || cursor->shape() != Qt::WaitCursor ? 1 : 0;
    }
    std::int64_t Now() override { return 1700000000; }
    bool Open(const QUrl&) override { return true; }
    QStringList Candidates() const override { return {m_dir.filePath(QStringLiteral("help/index.html"))}; }

private slots:
    void initTestCase() {
        // The table file is read from the current folder; start from an empty one.
        QVERIFY(QDir::setCurrent(m_dir.path()));
        platform::Clock::Replace(this);
        platform::CalendarClock::Replace(this);
        HelpViewer::Replace(this);
    }
    void init() {
        m_settings.emplace();
        m_pausedMs = 0;
        // Every test starts as the first opening of a fresh process.
        ProcessAboutAnimation() = AboutAnimation();
        m_labels.emplace();
        qputenv("TAVOPUS_VIRTUAL", m_labels->path().toUtf8());
        tavopus::testing::Reset();
    }
    void cleanup() {
        QFile::remove(m_dir.filePath(QString::fromLatin1(kTableFileName)));
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

    // From the start to Escape. A damaged table file is said and left as it
    // is; the built-in table serves the run. The strength bar and line and the
    // print image follow the password field; the bar and line lie in free
    // space of the template. The shared generator is seeded from the system's
    // random source at each conversion, never from the clock: two conversions
    // within the same second differ.
    void mainDialogFromStartToClose() {
        const QString file = QDir::current().absoluteFilePath(QString::fromLatin1(kTableFileName));
        QVERIFY(QFile(file).open(QIODevice::WriteOnly)); // an empty file ends too early
        MessageBoxRecorder boxes;
        ShownDialog d;
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        QVERIFY2(boxes.shown[0].text.contains(file), qPrintable(boxes.shown[0].text));
        QLineEdit* field = d.Edit(kKatakanaId);
        const auto* line = d.findChild<QLabel*>(QStringLiteral("strengthLine"));
        const StrengthMeter& meter = d.Strength();
        QCOMPARE(d.Options(), (QList<bool>{false, true, true, true}));
        // The built-in table has no symbols: the box stays checked but cannot be used.
        QVERIFY(d.Enabled(kUseDigitsId) && !d.Enabled(kUseSymbolsId));
        QCOMPARE(QApplication::focusWidget(), field);
        QVERIFY(!field->placeholderText().isEmpty());
        QVERIFY(d.windowIcon().availableSizes().contains(QSize(16, 16)));
        QCOMPARE(field->toolTip(), KanaLineEdit::TypingHint());
        // Keys carrying kana stop at the field's limit (a commit: inputMethodSequences).
        const QString full = U("ア").repeated(static_cast<qsizetype>(kPhraseLimit.Bytes() / 2));
        TypeText(field, full + U("イ"));
        QCOMPARE(field->text(), full);
        field->clear();

        // A trailing n goes in first. Enter then moves on to the typing field
        // and never closes; Escape drops pending letters first, then closes.
        TypeText(field, QStringLiteral("hon"));
        QTest::keyClick(field, Qt::Key_Return);
        QTest::keyClicks(d.Edit(kPasswordId), QStringLiteral("x")); // the password is read-only
        QCOMPARE(d.Edit(kPasswordId)->text(), QStringLiteral("hn"));
        QVERIFY(meter.Estimate());
        QCOMPARE(line->text(), ToQString(strength::DescribeEstimate(*meter.Estimate())));
        QCOMPARE(line->toolTip(), StrengthMeter::Explanation());
        QCOMPARE(d.Control<QWidget>(kPrintImageId)->grab().toImage().convertToFormat(QImage::Format_RGB32),
                 PrintImage::Render("hn", PrintStyle(&d)).convertToFormat(QImage::Format_RGB32));
        QCOMPARE(QApplication::focusWidget(), d.Control<QWidget>(kTypingId));
        QCOMPARE(d.Defaults(), (QList<bool>{false, true}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(boxes.shown.size(), std::size_t{2}); // the empty typing field is said
        field->setFocus();
        QCOMPARE(d.Defaults(), (QList<bool>{true, false}));
        QTest::keyClicks(field, QStringLiteral("ky"));
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(d.isVisible());
        QCOMPARE(field->text(), U("ホン"));
        field->clear();
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(line->text().isEmpty() && !meter.Estimate());
        d.Control<QRadioButton>(kRandomCaseId)->click();
        TypeText(field, U("アカサタナハマヤラワアカサタナハマヤラワ"));
        d.OnConvert();
        const QString first = d.Password();
        d.OnConvert();
        const QString second = d.Password();
        QVERIFY2(second != first && second.toLower() == first.toLower(), qPrintable(first + " " + second));
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(!d.isVisible());
        QCOMPARE(QFileInfo(file).size(), qint64{0});
        const QRect added = meter.geometry().united(line->geometry());
        for (const dlg::Control& c : kPasswordDialogControls) {
            const QRect rect = d.Layout().Map(c.x, c.y, c.cx, c.cy);
            QVERIFY2(c.kind == dlg::Kind::GroupBox || !rect.intersects(added), c.text.data());
        }
    }

    // The case options are one tab stop on the checked button, which the arrow
    // keys move without wrapping.
    void caseOptionsTakeTabAndArrows() {
        ShownDialog d;
        const std::pair<Qt::Key, int> keys[] = {
            {Qt::Key_Tab, kCapitalAfterSpaceId}, {Qt::Key_Down, kRandomCaseId},
            {Qt::Key_Down, kRandomCaseId},       {Qt::Key_Tab, kUseDigitsId},
            {Qt::Key_Backtab, kRandomCaseId},    {Qt::Key_Up, kCapitalAfterSpaceId}};
        for (const auto& [key, focus] : keys) {
            QTest::keyClick(QApplication::focusWidget(), key);
            QCOMPARE(QApplication::focusWidget(), d.Control<QWidget>(focus));
            QCOMPARE(d.Options()[0], focus == kRandomCaseId || focus == kUseDigitsId);
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
            QLineEdit* edit = d.Edit(kKatakanaId);
            for (const QString& step : row.events) {
                QInputMethodEvent event(step.startsWith('p') ? step.mid(1) : QString(), {});
                event.setCommitString(step.startsWith('p') ? QString() : step.mid(1));
                QApplication::sendEvent(edit, &event);
                if (!step.startsWith('s')) {
                    QCoreApplication::processEvents(); // a real commit comes on its own
                }
            }
            QTest::mouseClick(d.Control<QPushButton>(kConvertId), Qt::LeftButton);
            QCoreApplication::processEvents(); // nothing held comes back after the focus moved
            QCOMPARE(edit->text(), row.field);
            QCOMPARE(d.Edit(kPasswordId)->text(), row.password);
            const auto* notice = d.findChild<SkipNotice*>();
            // The notice names the first characters no entry converts.
            QCOMPARE(notice->Notice().contains(U("Ｓ、ａ")), row.password.isEmpty() && !row.field.isEmpty());
            QVERIFY(notice->autoFillBackground()); // it covers the caption under it
            edit->insert(U("ア"));
            QCOMPARE(notice->Notice(), QString());
        }
    }

    // The about button and the window menu's last entry open the about box;
    // the maps the table editor leaves set the option boxes; a missing help
    // page is said.
    void buttonsOpenTheirDialogs() {
        const QString page = Candidates().front();
        MessageBoxRecorder boxes;
        ShownDialog d;
        int opened = 0;
        const auto closeAbout = [&opened] {
            QWidget* about = QApplication::activeModalWidget();
            opened += qobject_cast<AboutDialog*>(about) != nullptr ? 1 : 0;
            QTest::keyClick(about, Qt::Key_Escape);
        };
        QTimer::singleShot(0, closeAbout);
        QTest::mouseClick(d.Control<QPushButton>(kAboutId), Qt::LeftButton);
        QTimer::singleShot(0, closeAbout); // from the context menu, which goes once it closes
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(1, 1), d.mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(&d, &event);
        QApplication::activePopupWidget()->actions().back()->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(opened == 2 && d.findChildren<QMenu*>().isEmpty());
        // The editor closed unsaved: the boxes follow the table's maps again.
        d.Control<QWidget>(kUseDigitsId)->setEnabled(false);
        d.Control<QWidget>(kUseSymbolsId)->setEnabled(true);
        QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
        QTest::mouseClick(d.Control<QPushButton>(kEditTableId), Qt::LeftButton);
        QVERIFY(d.Enabled(kUseDigitsId) && !d.Enabled(kUseSymbolsId));
        QTest::mouseClick(d.Control<QWidget>(kHelpId), Qt::LeftButton);
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        QVERIFY(boxes.shown[0].text.contains(page));
    }

    // --- what the main dialog remembers between runs ---

    // Copies from the password field are cleared after the time kept (0:
    // never); what the user wrote stays as written, nothing written gets the
    // default. A position comes back only when the title bar lies wholly on a
    // screen. Then options, the print colour and the window position come
    // back in the next run.
    void settingsComeBack() {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const struct {
            QVariant seconds, position; // as kept; invalid seconds: none kept
            int clearSeconds;
        } rows[] = {
            {QVariant(), QPoint(screen.right(), screen.top() + 30), SecretClipboard::kDefaultClearSeconds},
            {0, "hello", 0},
            {"hello", QVariant(), SecretClipboard::kDefaultClearSeconds},
        };
        for (const auto& row : rows) {
            if (row.seconds.isValid()) {
                platform::OpenSettings()->setValue(QStringLiteral("clipboard/clearSeconds"), row.seconds);
            }
            platform::OpenSettings()->setValue(QStringLiteral("window/position"), row.position);
            PasswordDialog dialog;
            QVERIFY(!dialog.testAttribute(Qt::WA_Moved));
            QCOMPARE(dialog.Clipboard().ClearSeconds(), row.clearSeconds);
            dialog.reject();
            QCOMPARE(platform::OpenSettings()->value(QStringLiteral("clipboard/clearSeconds")).toString(),
                     row.seconds.isValid() ? row.seconds.toString() : QString::number(row.clearSeconds));
        }
        ShownDialog first;
        first.Control<QRadioButton>(kRandomCaseId)->click();
        first.Control<QAbstractButton>(kUseDigitsId)->setChecked(false);
        first.Control<QAbstractButton>(kUseSymbolsId)->setChecked(false);
        struct : FontChooser {
            std::optional<FontChoice> Choose(QWidget*, const FontChoice& start) override {
                return FontChoice{start.font, QColor(200, 0, 0)};
            }
        } red;
        FontChooser::Replace(&red);
        first.Control<QPushButton>(kChangeFontId)->click();
        FontChooser::Replace(nullptr);
        first.move(60, 50);
        first.reject();
        ShownDialog second;
        QCOMPARE(second.Options(), (QList<bool>{true, false, false, false}));
        QCOMPARE(second.PrintImagePanel().Style().TextColour(), QColor(200, 0, 0));
        QCOMPARE(second.pos(), QPoint(60, 50));
    }

    // --- the typing test, with a test clock ---

    // Successive matches of the same password: the first, an equal time, a
    // faster, a slower (a new conversion forgetting the best time is the
    // model's). Blue marks a new best or its equal. The first attempt starts at its first
    // key, later ones at the check before; the counter may wrap.
    void typingMatchesKeepTheBestTime() {
        const struct {
            std::uint32_t duration;
            bool blue;
        } rows[] = {{700, false}, {700, true}, {650, true}, {680, false}};
        ShownDialog d;
        QLineEdit* typing = d.Edit(kTypingId);
        d.Edit(kKatakanaId)->setText(U("アカサタナ")); // a k s t n in the built-in table
        d.Control<QAbstractButton>(kUseDigitsId)->setChecked(false);
        d.OnConvert();
        m_now = 0xFFFFFF00u;
        for (const auto& row : rows) {
            const std::uint32_t start = m_now;
            TypeText(typing, QStringLiteral("a"));
            m_now = start + row.duration / 2;
            TypeText(typing, QStringLiteral("kstn"));
            m_now = start + row.duration;
            QTest::keyClick(typing, Qt::Key_Return);
            QCOMPARE(typing->text(), QString());
            QCOMPARE(d.Model().Typing().StartTime(), m_now);
            QVERIFY(ToQString(d.Model().Typing().Result().message).contains(QString::number(row.duration)));
            const QImage image = TypingResult(d);
            QCOMPARE(Pixels(image, image.rect(), Qt::blue, kInk) > 30, row.blue);
        }
        // A mistyped password: a R, K wrong, s R, x extra, t R, n R, in red and
        // underlined as they are wrong and extra; each glyph advances its width + 1.
        TypeText(typing, QStringLiteral("aKsxtn"));
        QTest::keyClick(typing, Qt::Key_Return);
        QVERIFY(d.Model().Typing().Result().glyphs == ComparisonLine("akstn", "aKsxtn"));
        QWidget* area = d.Control<QWidget>(kTypingResultId);
        QCOMPARE(area->font(), PointFont(QStringLiteral("MS UI Gothic"), 100, area)); // 10 points
        const QImage image = TypingResult(d);
        const QFontMetrics metrics(area->font());
        const int baseline = (image.height() - metrics.height()) / 2 + metrics.ascent();
        int x = 0;
        for (const Glyph& glyph : d.Model().Typing().Result().glyphs) {
            const int advance = metrics.horizontalAdvance(QChar(glyph.byte));
            const QRect span(x, 0, advance, image.height());
            const bool red = glyph.kind != GlyphKind::Right;
            QVERIFY(Pixels(image, span, red ? Qt::red : Qt::black, kInk) > 0);
            QVERIFY(Pixels(image, span, red ? Qt::black : Qt::red, kInk) == 0);
            // Below the baseline only an underline is drawn, from the glyph's first column.
            const QRect below(x, baseline + 1, 1, image.height());
            QCOMPARE(Pixels(image, below, Qt::red, kInk) > 0, glyph.kind == GlyphKind::Extra);
            x += advance + 1;
        }
    }

    // --- the print button ---

    // Nothing is printed without a password, when the question is cancelled
    // (a password too wide for the label is said first) or without a link. A
    // label goes out whether the printer answers or not, the one the print
    // image shows, each wait ending at the first answer; then the poll, where
    // a second job keeps the count.
    void printButtonAsksSendsAndPolls() {
        const struct {
            QString password, printer; // the virtual printer's mode file; "-": none
            QMessageBox::StandardButton answer;
            int secondJob; // at this poll tick; -1: none
            int ticks;     // until the poll stops
            Said boxes;
        } rows[] = {
            {"", "-", QMessageBox::Ok, -1, 0, {{Icon::Exclamation, 1}}},
            // The cut is said, then the question.
            {QString(35, 'W'), "-", QMessageBox::Cancel, -1, 0, {{Icon::Question, 2}}},
            {"WWW Q8xj", "unplugged", QMessageBox::Ok, -1, 0, {{Icon::Question, 1}}},
            {"WWW Q8xj", "-", QMessageBox::Ok, -1, 1, {{Icon::Question, 1}, {Icon::None, 1}}},
            {"WWW Q8xj", "silent", QMessageBox::Ok, 5, 21, {{Icon::Question, 1}, {Icon::Question, 1}}},
        };
        for (const auto& row : rows) {
            cleanup();
            init();
            QVERIFY(QFile(m_labels->filePath(row.printer)).open(QIODevice::WriteOnly));
            MessageBoxRecorder boxes;
            boxes.answers = {row.answer};
            ShownDialog dialog;
            QCOMPARE(dialog.Enabled(kPrintId), row.printer != "unplugged");
            dialog.Control<QLineEdit>(kPasswordId)->setText(row.password);
            dialog.PrintLabel();
            const bool sent = row.ticks > 0;
            // The saved label, framed as the print image.
            const QImage saved(m_labels->filePath("label-0001.png"));
            const LabelImage label =
                PrintImage::Label(saved.copy(QRect(-PrintImage::kLabelOrigin, PrintImage::kSize)));
            QCOMPARE(label == dialog.PrintImagePanel().Label() && label.DotCount() > 0, sent);
            QCOMPARE(m_pausedMs == 470u, sent && row.printer == "-");
            int ticks = 0;
            for (; dialog.Printer().IsPolling() && ticks < 30; ++ticks) {
                if (ticks == row.secondJob) {
                    dialog.Control<QPushButton>(kPrintId)->click();
                }
                dialog.Printer().PollStatus();
            }
            QCOMPARE(ticks, row.ticks);
            QCOMPARE(Boxes(boxes), row.boxes);
            QFile::remove(m_labels->filePath("unplugged")); // plugged in: the device notice comes
            QTRY_VERIFY(dialog.Enabled(kPrintId));
        }
    }

    // The label on another printer: the module is found from the build tree,
    // and a printer that cannot print is said.
    void printElsewhereSaysAFailure() {
        QVERIFY(LabelPrinting::Current() != nullptr);
        struct Printer : LabelPrinting {
            Outcome outcome = Outcome::Printed;
            Printed PrintWithDialog(QWidget*, const QString&, const PaintLabel& paint) override {
                QImage page(400, 100, QImage::Format_RGB32);
                QPainter painter(&page);
                paint(painter, true);
                return {outcome, QStringLiteral("queue")};
            }
            QStringList Queues() override { return {}; }
            QString DefaultQueue() override { return {}; }
            bool HasQueue(const QString&) override { return false; }
            bool PrintOnQueue(const QString&, const QString&, bool, const PaintLabel&) override {
                return false;
            }
        } printer;
        LabelPrinting::Replace(&printer);
        for (const auto outcome : {LabelPrinting::Outcome::Printed, LabelPrinting::Outcome::Failed}) {
            MessageBoxRecorder boxes;
            printer.outcome = outcome;
            labelexport::PrintElsewhere(nullptr, "39r", PrintStyle());
            QCOMPARE(Boxes(boxes),
                     outcome == LabelPrinting::Outcome::Failed ? (Said{{Icon::Exclamation, 1}}) : Said());
        }
        LabelPrinting::Replace(nullptr);
    }

    // --- the about box ---

    // Each tick draws the process's animation with the shared generator:
    // the fill behind; the picture's held cells solid blocks in the text
    // colour, and once the picture has gone the characters in it. The timer
    // runs while the box is open.
    void aboutBoxDrawsTheSharedAnimation() {
        AboutDialog dialog;
        bool running = false, shared = true;
        AboutAnimation::Frame want;
        QImage first, grabbed;
        QTimer::singleShot(0, &dialog, [&] { // inside the modal loop, then closed as the user would
            running = dialog.AnimationTimer().isActive();
            for (int tick = 0; tick <= AboutAnimation::kHeldTicks; ++tick) {
                AboutAnimation model = ProcessAboutAnimation();
                CrtRandom random = ProcessRandom();
                want = model.Tick(random);
                dialog.DrawFrame();
                shared &= random.State() == ProcessRandom().State();
                first = first.isNull() ? dialog.LastFrame() : first;
            }
            grabbed = dialog.grab(dialog.AnimationRect()).toImage().convertToFormat(QImage::Format_RGB32);
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QVERIFY(running && shared && !dialog.AnimationTimer().isActive());
        const QImage& frame = dialog.LastFrame();
        QCOMPARE(grabbed, frame);
        QCOMPARE(frame.pixelColor(frame.width() - 1, frame.height() - 1),
                 QColor(want.fill.red, want.fill.green, want.fill.blue)); // past the cells
        QVERIFY(Pixels(frame, frame.rect(), QColor(want.text.red, want.text.green, want.text.blue)) > 0);
        // A held cell of the first frame, whose text colour is black.
        const AboutAnimation::Grid mask = AboutAnimation::BuildMask();
        const auto held = std::find(mask.begin(), mask.end(), AboutAnimation::kHold) - mask.begin();
        const auto at =
            AboutAnimation::CellOrigin(int(held) % AboutAnimation::kColumns,
                                       int(held) / AboutAnimation::kColumns, first.width(), first.height());
        QCOMPARE(first.pixelColor(at.x + 2, at.y + 3), QColor(Qt::black));
    }

    // --- on any desktop ---

    // Every control a reader reaches has a name and the role of what it is
    // (a bare widget is a nameless filler); some names checked whole.
    void everyControlIsNamedWithItsRole() {
        PasswordDialog main;
        main.Control<QLineEdit>(kKatakanaId)->setText(U("サクラ"));
        main.Control<QPushButton>(kConvertId)->click();
        PasswordModel model;
        TableEditDialog editor(model);
        AboutDialog about;
        const std::pair<const char*, QAccessible::Role> roles[] = {
            {"QLineEdit", QAccessible::EditableText}, {"QRadioButton", QAccessible::RadioButton},
            {"QCheckBox", QAccessible::CheckBox},     {"QPushButton", QAccessible::Button},
            {"QGroupBox", QAccessible::Grouping},     {"StrengthMeter", QAccessible::ProgressBar},
        };
        for (QDialog* dialog : std::initializer_list<QDialog*>{&main, &editor, &about}) {
            for (QWidget* widget : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                const QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
                const QString seen = widget->objectName() + " " + face->text(QAccessible::Name) + " " +
                                     QString::number(face->role());
                const auto role = std::find_if(std::begin(roles), std::end(roles), [widget](const auto& row) {
                    return widget->inherits(row.first);
                });
                QVERIFY2(!widget->isVisibleTo(dialog) ||
                             (!face->text(QAccessible::Name).isEmpty() &&
                              face->role() != QAccessible::Client &&
                              (role == std::end(roles) || face->role() == role->second)),
                         qPrintable(seen));
            }
        }
        const std::pair<QWidget*, QString> names[] = {
            {main.Control<QWidget>(kKatakanaId), ToQString(kPasswordDialogControls[0].text)},
            {main.Control<QWidget>(kPasswordId), ToQString(kPasswordDialogControls[9].text)},
            {main.Control<QWidget>(kTypingId), ToQString(kPasswordDialogControls[11].text)},
            {main.Control<QWidget>(kPrintImageId), ToQString(main.Model().Password())},
            {main.findChild<StrengthMeter*>(),
             ToQString(strength::DescribeEstimate(*main.Strength().Estimate()))},
            {editor.Control<QWidget>(tableedit::LetterSlotId(1, 0)), "b"},
        };
        for (const auto& [widget, name] : names) {
            const QString spoken = QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
            QVERIFY2(spoken.contains(name), qPrintable(spoken + " / " + name));
        }
    }

    // Wayland tells a program nothing of its window's place; the others do.
    void windowPositionOnlyWhereThePlatformKnowsIt() {
        for (const QString platform : {"xcb", "offscreen", "wayland", "wayland-egl"}) {
            QCOMPARE(platform + (WindowPositionKnown(platform) ? "" : " unknown"),
                     platform + (platform.startsWith("wayland") ? " unknown" : ""));
        }
    }

    // Colours chosen for a light window stay exactly so on a light palette
    // and reach WCAG's contrast of 4.5 on a dark one.
    void coloursReadOnALightAndADarkPalette() {
        const auto luminance = [](const QColor& c) {
            const auto linear = [](double v) {
                return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF()) +
                   0.05;
        };
        const QPalette light(QColor(240, 240, 240));
        const QPalette dark(QColor(53, 53, 53));
        for (const QColor colour :
             {QColor(0, 0, 0), QColor(255, 0, 0), QColor(0, 0, 255), QColor(0xB0, 0x30, 0x00)}) {
            QCOMPARE(PaintArea::TextColour(colour, light), colour);
            const QColor onDark = PaintArea::TextColour(colour, dark);
            QVERIFY2(luminance(onDark) / luminance(dark.color(QPalette::Window)) >= 4.5,
                     qPrintable(onDark.name()));
        }
    }

private:
    QTemporaryDir m_dir;
    std::optional<IsolatedSettings> m_settings;
    std::optional<QTemporaryDir> m_labels; // the virtual printer's folder
    std::uint32_t m_now = 1000;
    std::uint32_t m_pausedMs = 0;
    int m_idlePauses = 0;
};

QTEST_MAIN(AppTest)
#include "AppTest.moc"
