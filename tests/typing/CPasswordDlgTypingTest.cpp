// The typing test in the main dialog: timing with a test clock, the match
// message and its colour, the refused empty field, and the comparison line as
// the result area draws it.
#include "app/CPasswordDlg.h"

#include "platform/PaintArea.h"
#include "platform/QtText.h"
#include "platform/TickCount.h"
#include "support/GuiTestHelpers.h"
#include "support/MessageBoxRecorder.h"
#include "typing/ComparisonLine.h"
#include "typing/ResultLine.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdint>

using namespace app;

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

struct ShownDialog {
    ShownDialog() {
        dialog.Create();
        dialog.show();
        if (!QTest::qWaitForWindowActive(&dialog)) {
            qWarning("dialog did not become active");
        }
    }
    ~ShownDialog() {
        if (dialog.isVisible()) {
            dialog.EndDialog(IDCANCEL);
        }
    }
    QLineEdit* Edit(int id) const { return dialog.Item<QLineEdit>(id); }
    QWidget* Area() const { return dialog.GetDlgItem(IDC_TYPING_RESULT); }
    // Painted afresh, as after the window was covered and uncovered.
    QImage Result() const { return Area()->grab().toImage(); }
    // The rectangle the result line keeps to.
    QRect R() const { return QRect(QPoint(2, 2), QPoint(Area()->width() - 5, Area()->height() - 5)); }

    // Converts a katakana phrase with letters only (the default table makes
    // ア カ サ タ ナ into a k s t n); the focus then is in the typing field.
    void Convert(const QString& katakana) {
        dialog.CheckDlgButton(IDC_USE_DIGITS, false);
        dialog.GotoDlgCtrl(IDC_KATAKANA);
        Edit(IDC_KATAKANA)->clear();
        TypeText(Edit(IDC_KATAKANA), katakana);
        QTest::keyClick(Edit(IDC_KATAKANA), Qt::Key_Return);
    }
    void TypeAndCheck(const QString& typed) {
        TypeText(Edit(IDC_TYPING), typed);
        QTest::keyClick(Edit(IDC_TYPING), Qt::Key_Return);
    }

    MessageBoxRecorder boxes; // no box may wait for an answer
    CPasswordDlg dialog;
};

enum class Ink { None, Black, Red, Blue };

// Text is drawn smoothed: a pixel counts as ink of a colour when it is well
// away from the button face in that colour's direction.
Ink InkAt(const QImage& image, int x, int y) {
    const QColor c(image.pixel(x, y));
    const int r = c.red();
    const int g = c.green();
    const int b = c.blue();
    if (r < 110 && g < 110 && b < 110 && std::abs(r - g) < 12 && std::abs(g - b) < 12) {
        return Ink::Black;
    }
    if (r > 200 && g < 150 && std::abs(g - b) < 12) {
        return Ink::Red;
    }
    if (b > 200 && r < 150 && std::abs(r - g) < 12) {
        return Ink::Blue;
    }
    return Ink::None;
}

int CountInk(const QImage& image, const QRect& rect, Ink ink) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            count += InkAt(image, x, y) == ink ? 1 : 0;
        }
    }
    return count;
}

// A row of red across the whole span: the underline of an extra glyph.
bool HasRedRow(const QImage& image, const QRect& span) {
    for (int y = span.top(); y <= span.bottom(); ++y) {
        bool whole = true;
        for (int x = span.left(); x <= span.right() && whole; ++x) {
            whole = InkAt(image, x, y) == Ink::Red;
        }
        if (whole) {
            return true;
        }
    }
    return false;
}

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
    int count = 0;
};

// Pixels between R and the frame, and the inside of the frame beyond R.
bool OnlyButtonFaceOutside(const QImage& image, const QRect& r) {
    const QColor face = PaintArea::ButtonFace();
    for (int y = 2; y < image.height() - 2; ++y) {
        for (int x = 2; x < image.width() - 2; ++x) {
            if (!r.contains(x, y) && QColor(image.pixel(x, y)) != face) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

class CPasswordDlgTypingTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // No table file: the built-in table.
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }
    void init() {
        m_now = 1000;
        SetTickCountSource([this] { return m_now; });
    }
    void cleanup() {
        SetTickCountSource({});
        QCOMPARE(VisibleTopLevelWindows(), 0);
    }

    // Durations of successive matching attempts; 0 stands for a conversion of
    // the same phrase in between.
    void matchColourFollowsTheBestTime_data() {
        QTest::addColumn<QList<int>>("durations");
        QTest::addColumn<QList<bool>>("blue");
        QTest::addColumn<int>("best");
        QTest::newRow("first match") << QList<int>{700} << QList<bool>{false} << 700;
        QTest::newRow("equal time") << QList<int>{700, 700} << QList<bool>{false, true} << 700;
        QTest::newRow("faster") << QList<int>{700, 650} << QList<bool>{false, true} << 650;
        QTest::newRow("slower") << QList<int>{700, 701} << QList<bool>{false, false} << 700;
        QTest::newRow("slower, then beats the best")
            << QList<int>{700, 900, 699} << QList<bool>{false, false, true} << 699;
        QTest::newRow("faster twice")
            << QList<int>{700, 600, 600, 500} << QList<bool>{false, true, true, true} << 500;
        QTest::newRow("conversion forgets the best")
            << QList<int>{700, 0, 900} << QList<bool>{false, false} << 900;
    }
    void matchColourFollowsTheBestTime() {
        QFETCH(QList<int>, durations);
        QFETCH(QList<bool>, blue);
        QFETCH(int, best);
        ShownDialog d;
        d.Convert(U("アカサタナ"));
        QCOMPARE(d.dialog.Password(), std::string("akstn"));
        qsizetype match = 0;
        for (const int duration : durations) {
            if (duration == 0) {
                d.Convert(U("アカサタナ"));
                continue;
            }
            // The first attempt starts at its first key; later ones at the end of the check before.
            const std::uint32_t start = d.dialog.TypingStartTime() != 0 ? d.dialog.TypingStartTime() : m_now;
            TypeText(d.Edit(IDC_TYPING), QStringLiteral("akstn"));
            m_now = start + static_cast<std::uint32_t>(duration);
            QTest::keyClick(d.Edit(IDC_TYPING), Qt::Key_Return);

            const ResultLine& shown = d.dialog.TypingResult();
            QCOMPARE(ToQString(shown.message), U("パスワードが一致しました。%1(ms)").arg(duration));
            QVERIFY(shown.glyphs.empty());
            QCOMPARE(shown.best, blue[match]);
            const QImage image = d.Result();
            const int blueInk = CountInk(image, d.R(), Ink::Blue);
            const int blackInk = CountInk(image, d.R(), Ink::Black);
            QVERIFY2(blue[match] ? blueInk > 30 && blackInk == 0 : blackInk > 30 && blueInk == 0,
                     qPrintable(QStringLiteral("blue %1, black %2").arg(blueInk).arg(blackInk)));
            QVERIFY(OnlyButtonFaceOutside(image, d.R()));
            ++match;
        }
        QCOMPARE(match, blue.size());
        QCOMPARE(d.dialog.BestTypingTime(), std::uint32_t(best));
    }

    void eachCheckEmptiesTheFieldAndStartsTheNextTiming_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("match, then a mismatch") << QStringLiteral("akstn") << QStringLiteral("akstm");
        QTest::newRow("mismatch, then a match") << QStringLiteral("akstm") << QStringLiteral("akstn");
    }
    void eachCheckEmptiesTheFieldAndStartsTheNextTiming() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        ShownDialog d;
        d.Convert(U("アカサタナ"));
        PaintCounter paints(d.Area());
        QCOMPARE(d.dialog.TypingStartTime(), 0u);
        m_now = 5000;
        TypeText(d.Edit(IDC_TYPING), first.left(1));
        QCOMPARE(d.dialog.TypingStartTime(), 5000u);
        m_now = 5400;
        TypeText(d.Edit(IDC_TYPING), first.mid(1));
        QCOMPARE(d.dialog.TypingStartTime(), 5000u);
        m_now = 6000;
        QTest::qWait(50); // paints still due from the conversion and the typing
        paints.count = 0;
        QTest::keyClick(d.Edit(IDC_TYPING), Qt::Key_Return);
        QVERIFY(!d.dialog.TypingResult().IsEmpty());
        QCOMPARE(d.Edit(IDC_TYPING)->text(), QString());
        // The area shows the new line without waiting for anything else to repaint.
        QTRY_VERIFY(paints.count > 0);
        // The clock already runs for the next attempt, pause included.
        QCOMPARE(d.dialog.TypingStartTime(), 6000u);

        m_now = 9000;
        d.TypeAndCheck(second);
        // The second answer replaces the first whole.
        const ResultLine& shown = d.dialog.TypingResult();
        if (second == QStringLiteral("akstn")) {
            QCOMPARE(ToQString(shown.message), U("パスワードが一致しました。3000(ms)"));
            QVERIFY(shown.glyphs.empty());
        } else {
            QVERIFY(shown.message.empty());
            QVERIFY(shown.glyphs == ComparisonLine("akstn", "akstm"));
        }
    }

    void tickCountWrapsAround_data() {
        QTest::addColumn<quint32>("start");
        QTest::addColumn<quint32>("end");
        QTest::addColumn<QString>("time");
        QTest::newRow("wraps while typing") << 0xFFFFFF00u << 0x10u << QStringLiteral("272");
        QTest::newRow("starts at the last tick") << 0xFFFFFFFFu << 0x1F3u << QStringLiteral("500");
        QTest::newRow("ends at the last tick") << 0xFFFFFC17u << 0xFFFFFFFFu << QStringLiteral("1000");
    }
    void tickCountWrapsAround() {
        QFETCH(quint32, start);
        QFETCH(quint32, end);
        QFETCH(QString, time);
        ShownDialog d;
        d.Convert(U("アカサタナ"));
        m_now = start;
        TypeText(d.Edit(IDC_TYPING), QStringLiteral("akstn"));
        m_now = end;
        QTest::keyClick(d.Edit(IDC_TYPING), Qt::Key_Return);
        QCOMPARE(ToQString(d.dialog.TypingResult().message), U("パスワードが一致しました。") + time + "(ms)");
        QCOMPARE(d.dialog.TypingStartTime(), end);
    }

    void emptyFieldIsRefusedAndNothingChanges_data() {
        QTest::addColumn<QString>("before");
        QTest::newRow("first check") << QString();
        QTest::newRow("after a mismatch") << QStringLiteral("aksn");
    }
    void emptyFieldIsRefusedAndNothingChanges() {
        QFETCH(QString, before);
        ShownDialog d;
        d.Convert(U("アカサタナ"));
        if (!before.isEmpty()) {
            d.TypeAndCheck(before);
        }
        const ResultLine previous = d.dialog.TypingResult();
        const QImage previousImage = d.Result();
        m_now = 7000;
        QTest::keyClick(d.Edit(IDC_TYPING), Qt::Key_Return);

        QCOMPARE(d.boxes.shown.size(), std::size_t{1});
        QCOMPARE(d.boxes.shown[0].text, U("パスワードが入力されていません"));
        QCOMPARE(d.boxes.shown[0].caption, ApplicationName());
        QCOMPARE(d.boxes.shown[0].type, unsigned(MB_OK | MB_ICONEXCLAMATION));
        QCOMPARE(d.dialog.TypingStartTime(), 0u);
        QCOMPARE(d.dialog.TypingResult().message, previous.message);
        QVERIFY(d.dialog.TypingResult().glyphs == previous.glyphs);
        QCOMPARE(d.Result(), previousImage);
        if (before.isEmpty()) {
            QCOMPARE(CountInk(previousImage, d.R(), Ink::None), d.R().width() * d.R().height());
        }
        // The next keystroke starts a new timing.
        m_now = 7100;
        TypeText(d.Edit(IDC_TYPING), QStringLiteral("a"));
        QCOMPARE(d.dialog.TypingStartTime(), 7100u);
    }

    void conversionClearsTheBestTimeAndTheResult_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("after a match") << QStringLiteral("akstn");
        QTest::newRow("after a mismatch") << QStringLiteral("aktsn");
    }
    void conversionClearsTheBestTimeAndTheResult() {
        QFETCH(QString, typed);
        ShownDialog d;
        d.Convert(U("アカサタナ"));
        TypeText(d.Edit(IDC_TYPING), QStringLiteral("akstn"));
        m_now += 800;
        QTest::keyClick(d.Edit(IDC_TYPING), Qt::Key_Return);
        QCOMPARE(d.dialog.BestTypingTime(), 800u);
        d.TypeAndCheck(typed);
        QVERIFY(CountInk(d.Result(), d.R(), Ink::None) < d.R().width() * d.R().height());
        const std::uint32_t started = d.dialog.TypingStartTime();

        d.Convert(U("サクラ"));
        QCOMPARE(d.dialog.BestTypingTime(), 0u);
        QVERIFY(d.dialog.TypingResult().IsEmpty());
        QCOMPARE(CountInk(d.Result(), d.R(), Ink::None), d.R().width() * d.R().height());
        // The attempt's clock is not the conversion's business.
        QCOMPARE(d.dialog.TypingStartTime(), started);
    }

    // Each glyph sits at 2 plus the advances (character width + 1) of those
    // before it: black when right, red otherwise, underlined when extra.
    void comparisonLineIsDrawnGlyphByGlyph_data() {
        QTest::addColumn<QString>("katakana");
        QTest::addColumn<QString>("typed");
        QTest::newRow("wrong case") << U("アカサタナ") << QStringLiteral("aKstn");
        QTest::newRow("left out in the middle") << U("アカサタナ") << QStringLiteral("aktn");
        QTest::newRow("extra in the middle") << U("アカサタナ") << QStringLiteral("aksxtn");
        QTest::newRow("prefix only") << U("アカサタナ") << QStringLiteral("ak");
        QTest::newRow("extra at the end") << U("アカサタナ") << QStringLiteral("akstnwh");
        QTest::newRow("swapped") << U("アカサタナ") << QStringLiteral("aktsn");
        QTest::newRow("second to last left out") << U("アカサタナ") << QStringLiteral("akstn").remove(3, 1);
        QTest::newRow("empty password") << QString() << QStringLiteral("abc");
        QTest::newRow("full-width character") << U("アカサタナ") << U("akアtn");
        QTest::newRow("half-width katakana") << U("アカサタナ") << U("akｻtn");
        QTest::newRow("longer than the area")
            << U("アカサタナハマヤラワ") << QStringLiteral("WwMmWwMmWwMmWwMmWwMmWwMmWwMmWwMmWwMmWwMmWwMm");
    }
    void comparisonLineIsDrawnGlyphByGlyph() {
        QFETCH(QString, katakana);
        QFETCH(QString, typed);
        ShownDialog d;
        d.Convert(katakana);
        d.TypeAndCheck(typed);

        const std::vector<Glyph> expected = ComparisonLine(d.dialog.Password(), *FromQString(typed));
        QVERIFY(d.dialog.TypingResult().glyphs == expected);
        QVERIFY(d.dialog.TypingResult().message.empty());

        const QImage image = d.Result();
        const QRect r = d.R();
        QVERIFY(OnlyButtonFaceOutside(image, r));
        const QFontMetrics metrics(d.Area()->font());
        // Below the baseline of the vertically centred line only an underline
        // crosses a whole glyph.
        const int baseline = r.top() + (r.height() - metrics.height()) / 2 + metrics.ascent();
        int x = r.left();
        int checked = 0;
        for (std::size_t k = 0; k < expected.size(); ++k) {
            const Glyph& glyph = expected[k];
            const int advance = metrics.horizontalAdvance(ToQString(GlyphText(glyph.byte)));
            const QRect span(x, r.top(), advance, r.height());
            x += advance + 1;
            if (span.right() > r.right()) {
                break;
            }
            const QString where = QStringLiteral("glyph %1 at x %2").arg(k).arg(span.left());
            const int red = CountInk(image, span, Ink::Red);
            const int black = CountInk(image, span, Ink::Black);
            if (glyph.kind == GlyphKind::Right) {
                QVERIFY2(black > 0 && red == 0, qPrintable(where));
            } else {
                QVERIFY2(red > 0 && black == 0, qPrintable(where));
            }
            // A left-out glyph's "_" is a line of its own. The underline runs
            // the character's width unrounded, so it may stop a pixel short.
            if (glyph.kind != GlyphKind::LeftOut) {
                const QRect below(QPoint(span.left(), baseline), span.bottomRight() - QPoint(1, 0));
                QVERIFY2(HasRedRow(image, below) == (glyph.kind == GlyphKind::Extra), qPrintable(where));
            }
            // The pixel between two glyphs stays empty.
            const QRect gap(span.right() + 1, r.top(), 1, r.height());
            if (glyph.kind != GlyphKind::Extra && gap.right() <= r.right()) {
                QVERIFY2(CountInk(image, gap, Ink::Red) + CountInk(image, gap, Ink::Black) == 0,
                         qPrintable(where));
            }
            ++checked;
        }
        QVERIFY(checked > 0);
        if (x > r.right()) {
            // Cut off at R's right edge, so ink reaches it.
            QVERIFY(CountInk(image, QRect(r.right() - 3, r.top(), 4, r.height()), Ink::Red) > 0);
        }
    }

    void enterAndTheButtonBothCheck_data() {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("enter in the field") << false;
        QTest::newRow("button") << true;
    }
    void enterAndTheButtonBothCheck() {
        QFETCH(bool, byButton);
        ShownDialog d;
        d.Convert(U("アカサタナ"));
        QCOMPARE(d.dialog.GetDefID(), IDC_CHECK);
        TypeText(d.Edit(IDC_TYPING), QStringLiteral("akstn"));
        if (byButton) {
            QTest::mouseClick(d.dialog.GetDlgItem(IDC_CHECK), Qt::LeftButton);
        } else {
            QTest::keyClick(d.Edit(IDC_TYPING), Qt::Key_Return);
        }
        QVERIFY(!d.dialog.TypingResult().message.empty());
        QVERIFY(d.dialog.isVisible());
    }

private:
    QTemporaryDir m_dir;
    std::uint32_t m_now = 1000;
};

QTEST_MAIN(CPasswordDlgTypingTest)
#include "CPasswordDlgTypingTest.moc"
