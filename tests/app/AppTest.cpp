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
#include "support/TavopusEnvironment.h"
#include "support/MessageBoxRecorder.h"
#include "table/TableFile.h"
#include "tableedit/TableEditDialog.h"
#include "tableedit/TableEditTemplate.h"

#include <sys/stat.h>
#include "tavopus/TavopusTesting.h"
#include "typing/ComparisonLine.h"

#include <QAccessible>
#include <QDir>
#include <QFontMetrics>
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
    void Convert(const QString& phrase) {
        Edit(kKatakanaId)->setText(phrase);
        OnConvert();
    }
    // The password the typing tests type: a k s t n in the built-in table.
    void ConvertForTyping() {
        Control<QAbstractButton>(kUseDigitsId)->setChecked(false);
        Convert(U("アカサタナ"));
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

struct KeysRow {
    int field;
    QString typed; // keys carrying their text
    Qt::Key key;   // then pressed; 0: none
    QString phrase, password;
    int focus; // 0: the dialog has closed
    std::size_t boxes;
    Qt::KeyboardModifiers modifiers = {}; // with the key
};

// What a screen reader finds on a control after converting サクラ桜 and
// checking `typed`.
struct SaidRow {
    QString typed;
    int id;
    QAccessible::Text text;
    QString said;
};

struct PrintRow {
    QString password, printer; // the virtual printer's mode file; "-": none
    QMessageBox::StandardButton answer;
    int secondJob; // at this poll tick; -1: none
    int ticks;     // until the poll stops
    Said boxes;
};

} // namespace

Q_DECLARE_METATYPE(KeysRow)
Q_DECLARE_METATYPE(SaidRow)
Q_DECLARE_METATYPE(PrintRow)

// The test's own time (ticks it sets, pauses counted, a fixed calendar), and no browser starts.
class AppTest : public QObject, platform::Clock, platform::CalendarClock, HelpViewer {
    Q_OBJECT
    std::uint32_t Milliseconds() override { return m_now; }
    void Pause(std::chrono::milliseconds ms) override {
        m_pausedMs += static_cast<std::uint32_t>(ms.count());
        const QCursor* cursor = QApplication::overrideCursor();
        m_idlePauses += cursor == nullptr || cursor->shape() != Qt::BusyCursor ? 1 : 0;
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

    // A table file that is there but cannot be used is said, by its name and
    // why, and left as it is; the built-in table, which has no symbols, serves the run.
    void unreadableTableFileIsSaidAndKept_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("why");
        QTest::newRow("damaged") << "empty" << U("末尾以降");
        QTest::newRow("a link to nothing") << "dangling" << U("リンク先のファイルがありません");
        QTest::newRow("a FIFO") << "fifo" << U("通常のファイルではありません");
    }
    void unreadableTableFileIsSaidAndKept() {
        QFETCH(QString, kind);
        QFETCH(QString, why);
        const QString file = QDir::current().absoluteFilePath(QString::fromLatin1(kTableFileName));
        if (kind == "empty") {
            QVERIFY(QFile(file).open(QIODevice::WriteOnly)); // an empty file ends too early
        } else if (kind == "dangling") {
            QVERIFY(QFile::link(QStringLiteral("none/Q8.xj"), file));
        } else {
            QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        }
        const QFileInfo before(file);
        MessageBoxRecorder boxes;
        ShownDialog d;
        QCOMPARE(boxes.shown.size(), std::size_t{1});
        QVERIFY2(boxes.shown[0].text.contains(file) && boxes.shown[0].text.contains(why),
                 qPrintable(boxes.shown[0].text));
        QVERIFY(d.Enabled(kUseDigitsId) && !d.Enabled(kUseSymbolsId));
        d.reject();
        const QFileInfo after(file);
        QVERIFY(after.isSymLink() == before.isSymLink() && after.size() == 0);
    }

    // What the user first meets: the default options, the focus in the
    // katakana field, the window's small icon, the whole window on the screen
    // (the test platform's screen is shorter than the window).
    void startsWithTheDefaultOptions() {
        ShownDialog d;
        QVERIFY(QRect(QPoint(), dlg::Layout::RoomOnScreen(d)).contains(d.rect()));
        QCOMPARE(d.Options(), (QList<bool>{false, true, true, true}));
        QCOMPARE(QApplication::focusWidget(), d.Edit(kKatakanaId));
        QVERIFY(d.windowIcon().availableSizes().contains(QSize(16, 16)));
    }

    // Kana stop at the katakana field's limit (a commit: the field's test).
    // The default button follows the focus: Enter commits a trailing n,
    // converts and moves on in the katakana field, and checks in the typing
    // field, where an empty one is said; it never closes. Escape drops
    // pending letters first, and only then closes. The password takes no keys.
    void keysInTheFields_data() {
        QTest::addColumn<KeysRow>("row");
        const QString full = U("ア").repeated(static_cast<qsizetype>(kPhraseLimit.Bytes() / 2));
        const int kana = kKatakanaId;
        // clang-format off
        QTest::newRow("kana to the limit") << KeysRow{kana, full + U("イ"), {}, full, "", kana, 0};
        QTest::newRow("Enter converting") << KeysRow{kana, "hon", Qt::Key_Return, U("ホン"), "hn", kTypingId, 0};
        QTest::newRow("Enter checking") << KeysRow{kTypingId, "", Qt::Key_Enter, "", "", kTypingId, 1};
        QTest::newRow("Escape, letters pending") << KeysRow{kana, "honky", Qt::Key_Escape, U("ホン"), "", kana, 0};
        QTest::newRow("Escape") << KeysRow{kana, U("ホン"), Qt::Key_Escape, U("ホン"), "", 0, 0};
        QTest::newRow("the password") << KeysRow{kPasswordId, "x", {}, "", "", kPasswordId, 0};
        QTest::newRow("Alt, kana") << KeysRow{kana, "", Qt::Key_A, "", "", kana, 0, Qt::AltModifier};
        QTest::newRow("Alt, typing") << KeysRow{kTypingId, "", Qt::Key_A, "", "", kTypingId, 0, Qt::AltModifier};
        // clang-format on
    }
    void keysInTheFields() {
        QFETCH(KeysRow, row);
        MessageBoxRecorder boxes;
        ShownDialog d;
        d.Edit(kTypingId)->setFocus(); // the focus comes from the typing field
        d.Edit(row.field)->setFocus();
        TypeText(d.Edit(row.field), row.typed);
        if (row.key != Qt::Key(0)) {
            QTest::keyClick(d.Edit(row.field), row.key, row.modifiers);
        }
        QCOMPARE(d.Edit(kKatakanaId)->text(), row.phrase);
        QCOMPARE(d.Edit(kTypingId)->text(), QString());
        QCOMPARE(d.Password(), row.password);
        QCOMPARE(d.isVisible(), row.focus != 0);
        QVERIFY(row.focus == 0 || QApplication::focusWidget() == d.Control<QWidget>(row.focus));
        QCOMPARE(boxes.shown.size(), row.boxes);
    }

    // The strength bar (with the value a screen reader asks it for), line and
    // print image follow the password field.
    void passwordFieldIsFollowed_data() {
        QTest::addColumn<QString>("password");
        QTest::newRow("a password") << "hn";
        QTest::newRow("none") << "";
    }
    void passwordFieldIsFollowed() {
        QFETCH(QString, password);
        ShownDialog d;
        d.Edit(kPasswordId)->setText(QStringLiteral("x")); // so that none is a change too
        d.Edit(kPasswordId)->setText(password);
        const std::optional<strength::Estimate>& estimate = d.Strength().Estimate();
        QCOMPARE(estimate.has_value(), !password.isEmpty());
        QCOMPARE(d.findChild<QLabel*>(QStringLiteral("strengthLine"))->text(),
                 estimate ? ToQString(strength::DescribeEstimate(*estimate)) : QString());
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(d.findChild<StrengthMeter*>());
        QCOMPARE(bar->valueInterface()->currentValue().toDouble(), estimate ? estimate->bits : 0.0);
        QCOMPARE(
            d.Control<QWidget>(kPrintImageId)->grab().toImage().convertToFormat(QImage::Format_RGB32),
            PrintImage::Render(password.toStdString(), PrintStyle(&d)).convertToFormat(QImage::Format_RGB32));
    }

    // The strength bar and line lie in free space of the template.
    void strengthBarAndLineLieInFreeSpace() {
        PasswordDialog d;
        const QRect added =
            d.Strength().geometry().united(d.findChild<QLabel*>(QStringLiteral("strengthLine"))->geometry());
        for (const dlg::Control& c : kPasswordDialogControls) {
            const QRect rect = d.Layout().Map(c.x, c.y, c.cx, c.cy);
            QVERIFY2(c.kind == dlg::Kind::GroupBox || !rect.intersects(added), c.text.data());
        }
    }

    // The shared generator is seeded from the system's random source at each
    // random case conversion, never from the clock: two conversions within
    // the same second differ.
    void eachConversionIsSeededAfresh() {
        ShownDialog d;
        d.Control<QRadioButton>(kRandomCaseId)->click();
        d.Convert(U("アカサタナハマヤラワアカサタナハマヤラワ"));
        const QString first = d.Password();
        d.OnConvert();
        const QString second = d.Password();
        QVERIFY2(second != first && second.toLower() == first.toLower(), qPrintable(first + " " + second));
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

    // The notice of skipped characters names the first ones no entry
    // converts, covering the caption under it, and is gone once the phrase
    // changes. (What an input method sends: the katakana field's test.)
    void skippedCharactersAreNoticedUntilThePhraseChanges() {
        ShownDialog d;
        d.Convert(U("Ｓａｋｕｒａ"));
        const auto* notice = d.findChild<SkipNotice*>();
        QVERIFY2(notice->Notice().contains(U("Ｓ、ａ")), qPrintable(notice->Notice()));
        QVERIFY(notice->isVisible() && notice->autoFillBackground());
        d.Edit(kKatakanaId)->insert(U("ア"));
        QCOMPARE(notice->Notice(), QString());
    }

    // The katakana field's menu puts a suggestion in its place, undoably, and
    // converts it; its strength is the choice's until the phrase changes.
    void suggestedPhraseReplacesTheText() {
        struct : RandomSource {
            std::uint32_t Next() override { return draws++ % 2; } // the list's first two words
            std::uint32_t draws = 0;
        } source;
        RandomSource::Replace(&source);
        ShownDialog d;
        QTest::keyClicks(d.Edit(kKatakanaId), QStringLiteral("sakura"));
        d.findChild<QAction*>()->trigger();
        RandomSource::Replace(nullptr);
        QCOMPARE(d.Edit(kKatakanaId)->text(), U("アイアン　アイカ　アイアン　アイカ"));
        QCOMPARE(d.Password(), QStringLiteral("a1anA1kA1anA1k"));
        const auto* line = d.findChild<QLabel*>(QStringLiteral("strengthLine"));
        QCOMPARE(line->text(), U("強度: 弱い（約 52 ビット、提案の選び方による）"));
        QTest::keySequence(d.Edit(kKatakanaId), QKeySequence::Undo);
        QCOMPARE(d.Edit(kKatakanaId)->text(), U("サクラ"));
        d.OnConvert();
        QVERIFY(!line->text().contains(U("提案")));
    }

    // Each way to another dialog opens it: the about button and the window
    // menu's last entry the about box, the menu going once it closes; the edit
    // button the editor, whose maps set the option boxes again however it
    // closes; the help button the help page, a missing one said.
    void buttonsOpenTheirDialogs_data() {
        QTest::addColumn<int>("button"); // 0: the window menu's last entry; -1: the same, from Shift+F10
        QTest::addColumn<QString>("opened");
        QTest::newRow("about") << int(kAboutId) << "AboutDialog";
        QTest::newRow("window menu") << 0 << "AboutDialog";
        QTest::newRow("window menu, Shift+F10 on a button") << -1 << "AboutDialog";
        QTest::newRow("edit table") << int(kEditTableId) << "TableEditDialog";
        QTest::newRow("help") << int(kHelpId) << "";
    }
    void buttonsOpenTheirDialogs() {
        QFETCH(int, button);
        QFETCH(QString, opened);
        MessageBoxRecorder boxes;
        ShownDialog d;
        d.Control<QWidget>(kUseDigitsId)->setEnabled(false);
        d.Control<QWidget>(kUseSymbolsId)->setEnabled(true);
        QString modal;
        QTimer::singleShot(0, &d, [&modal] {
            if (QWidget* open = QApplication::activeModalWidget()) {
                modal = QString::fromLatin1(open->metaObject()->className());
                QTest::keyClick(open, Qt::Key_Escape);
            }
        });
        if (button > 0) {
            QTest::mouseClick(d.Control<QPushButton>(button), Qt::LeftButton);
        } else {
            // A button has no menu of its own: Shift+F10 in it opens the window's.
            QWidget* from = button == 0 ? static_cast<QWidget*>(&d) : d.Control<QWidget>(kExitId);
            from->setFocus();
            TriggerMenuEntries(
                from, [](const QAction* a) { return a->text() == QString::fromUtf8(kAboutMenuText); },
                button < 0);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(d.findChildren<QMenu*>().isEmpty());
        }
        QCOMPARE(modal, opened);
        QCOMPARE(d.Enabled(kUseDigitsId) && !d.Enabled(kUseSymbolsId), button == kEditTableId);
        QCOMPARE(boxes.shown.size(), std::size_t{button == kHelpId ? 1u : 0u});
        QVERIFY(button != kHelpId || boxes.shown[0].text.contains(Candidates().front()));
    }

    // --- what the main dialog remembers between runs ---

    // Copies from the password field are cleared after the time kept (0:
    // never); what the user wrote stays as written, nothing written gets the
    // default. A position comes back only when the title bar lies wholly on a
    // screen.
    void keptSettingsAreChecked_data() {
        QTest::addColumn<QVariant>("seconds"); // as kept; invalid: none kept
        QTest::addColumn<QVariant>("position");
        QTest::addColumn<int>("clearSeconds");
        QTest::addColumn<QVariant>("option"); // kept for each option; the start-up state stays
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QVariant offScreen = QPoint(screen.right(), screen.top() + 30);
        const int byDefault = SecretClipboard::kDefaultClearSeconds;
        QTest::newRow("none kept") << QVariant() << offScreen << byDefault << QVariant();
        QTest::newRow("never cleared") << QVariant(0) << QVariant("hello") << 0 << QVariant("maybe");
        QTest::newRow("not a number")
            << QVariant("hello") << QVariant() << byDefault << QVariant("@Invalid()");
    }
    void keptSettingsAreChecked() {
        QFETCH(QVariant, seconds);
        QFETCH(QVariant, position);
        QFETCH(int, clearSeconds);
        QFETCH(QVariant, option);
        for (const char* key : {"options/randomCase", "options/useDigits", "options/useSymbols"}) {
            platform::OpenSettings()->setValue(QString::fromLatin1(key), option);
        }
        if (seconds.isValid()) {
            platform::OpenSettings()->setValue(QStringLiteral("clipboard/clearSeconds"), seconds);
        }
        platform::OpenSettings()->setValue(QStringLiteral("window/position"), position);
        ShownDialog dialog;
        QVERIFY(!dialog.testAttribute(Qt::WA_Moved));
        QCOMPARE(dialog.Clipboard().ClearSeconds(), clearSeconds);
        QCOMPARE(dialog.Options(), (QList<bool>{false, true, true, true}));
        dialog.reject();
        QCOMPARE(platform::OpenSettings()->value(QStringLiteral("clipboard/clearSeconds")).toString(),
                 seconds.isValid() ? seconds.toString() : QString::number(clearSeconds));
    }

    // Options, the print colour and the window position come back in the next run.
    void choicesComeBackInTheNextRun() {
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
        d.ConvertForTyping();
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
    }

    // A mistyped password: a R, K wrong, s R, x extra, t R, n R, in red and
    // underlined as they are wrong and extra; each glyph advances its width + 1.
    void mistypedLettersAreRedAndExtraOnesUnderlined() {
        ShownDialog d;
        d.ConvertForTyping();
        TypeText(d.Edit(kTypingId), QStringLiteral("aKsxtn"));
        QTest::keyClick(d.Edit(kTypingId), Qt::Key_Return);
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
    void printButtonAsksSendsAndPolls_data() {
        QTest::addColumn<PrintRow>("row");
        const auto ok = QMessageBox::Ok;
        // clang-format off
        QTest::newRow("no password") << PrintRow{"", "-", ok, -1, 0, {{Icon::Exclamation, 1}}};
        QTest::newRow("too wide, cancelled") << PrintRow{QString(35, 'W'), "-", QMessageBox::Cancel, -1, 0, {{Icon::Question, 2}}};
        QTest::newRow("unplugged") << PrintRow{"WWW Q8xj", "unplugged", ok, -1, 0, {{Icon::Question, 1}}};
        QTest::newRow("answering") << PrintRow{"WWW Q8xj", "-", ok, -1, 1, {{Icon::Question, 1}, {Icon::None, 1}}};
        QTest::newRow("silent") << PrintRow{"WWW Q8xj", "silent", ok, 5, 21, {{Icon::Question, 1}, {Icon::Question, 1}}};
        QTest::newRow("stalled") << PrintRow{"WWW Q8xj", "stalled", ok, -1, 0, {{Icon::Question, 1}, {Icon::Exclamation, 1}}};
        // clang-format on
    }
    void printButtonAsksSendsAndPolls() {
        QFETCH(PrintRow, row);
        QVERIFY(QFile(m_labels->filePath(row.printer)).open(QIODevice::WriteOnly));
        TavopusEnvironment waits;
        waits.writeWaitMs = 0; // a stalled printer ends the link at once
        MessageBoxRecorder boxes;
        boxes.answers = {row.answer};
        ShownDialog dialog;
        QCOMPARE(dialog.Enabled(kPrintId), row.printer != "unplugged");
        dialog.Edit(kPasswordId)->setText(row.password);
        dialog.PrintLabel();
        const bool printing = dialog.Printer().IsPrinting();
        QVERIFY(!(printing && dialog.Enabled(kPrintId))); // no second job meanwhile
        dialog.reject();                                  // the window closes once the job has ended
        QCOMPARE(dialog.isVisible(), printing);
        dialog.Printer().WaitForJob();
        QVERIFY(!dialog.isVisible());
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
                dialog.Printer().WaitForJob();
            }
            dialog.Printer().PollStatus();
        }
        QCOMPARE(ticks, row.ticks);
        QCOMPARE(Boxes(boxes), row.boxes);
        QFile::remove(m_labels->filePath("unplugged")); // plugged in: the device notice comes
        if (QFile::remove(m_labels->filePath("stalled"))) {
            dialog.Printer().OnDeviceChange({TAVOP_DEVICES_CHANGED, 0}); // plugged in again
        }
        QTRY_VERIFY(dialog.Enabled(kPrintId));
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

    // What a screen reader hears. Qt 6.4 sends no announcement, nor the text of
    // a changed name or description: the trial field that the focus comes to
    // says the password a character at a time, its strength and the notice;
    // the result line, a notification, shows anew with each check's result. A
    // group's name comes with its first controls.
    void screenReaderHearsTheDialog_data() {
        QTest::addColumn<SaidRow>("row");
        // clang-format off
        QTest::newRow("password") << SaidRow{"", kTypingId, QAccessible::Description, U("パスワード 3 9 r、強度: 非常に弱い（約 16 ビット）。変換されない文字があります: 桜")};
        QTest::newRow("result") << SaidRow{"39R", kTypingResultId, QAccessible::Name, U("パスワードが違います。3 文字目: r のところ 大文字 R")};
        QTest::newRow("case group") << SaidRow{"", kRandomCaseId, QAccessible::Name, U("大文字オプション: 大文字、小文字をランダムにする")};
        // clang-format on
    }
    void screenReaderHearsTheDialog() {
        QFETCH(SaidRow, row);
        MessageBoxRecorder boxes; // a check of nothing is said
        ShownDialog d;
        d.Convert(U("サクラ桜"));
        TypeText(d.Edit(kTypingId), row.typed);
        QTest::keyClick(d.Edit(kTypingId), Qt::Key_Return);
        QCOMPARE(QAccessible::queryAccessibleInterface(d.Control<QWidget>(row.id))->text(row.text), row.said);
    }

    // Wayland tells a program nothing of its window's place; the others do.
    // Each row is named for its platform.
    void windowPositionOnlyWhereThePlatformKnowsIt_data() {
        QTest::addColumn<bool>("known");
        QTest::newRow("xcb") << true;
        QTest::newRow("offscreen") << true;
        QTest::newRow("wayland") << false;
        QTest::newRow("wayland-egl") << false;
    }
    void windowPositionOnlyWhereThePlatformKnowsIt() {
        QFETCH(bool, known);
        QCOMPARE(WindowPositionKnown(QString::fromLatin1(QTest::currentDataTag())), known);
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
