// The typing test in the main dialog, driven with a test clock.
#include "app/CPasswordDlg.h"

#include "app/PasswordDialogTemplate.h"
#include "platform/QtText.h"
#include "platform/TickCount.h"
#include "support/GuiTestHelpers.h"
#include "support/IsolatedSettings.h"
#include "support/MessageBoxRecorder.h"
#include "typing/ComparisonLine.h"
#include "typing/ResultLine.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <cstdint>

using namespace app;

namespace {

struct ShownDialog {
    ShownDialog() {
        dialog.Create();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        // The default table makes ア カ サ タ ナ into a k s t n.
        dialog.CheckDlgButton(IDC_USE_DIGITS, false);
        TypeText(dialog.Item<QLineEdit>(IDC_KATAKANA), U("アカサタナ"));
        QTest::keyClick(dialog.Item<QLineEdit>(IDC_KATAKANA), Qt::Key_Return);
    }
    ~ShownDialog() { dialog.EndDialog(IDCANCEL); }
    QLineEdit* Field() const { return dialog.Item<QLineEdit>(IDC_TYPING); }
    void Check(const QString& typed) {
        TypeText(Field(), typed);
        QTest::keyClick(Field(), Qt::Key_Return);
    }
    // The result area inside its frame, painted afresh.
    QImage Result() const {
        QWidget* area = dialog.GetDlgItem(IDC_TYPING_RESULT);
        return area->grab().toImage().copy(2, 2, area->width() - 6, area->height() - 6);
    }

    MessageBoxRecorder boxes; // no box may wait for an answer
    CPasswordDlg dialog;
};

enum class Ink { None, Black, Red, Blue };

// Text is drawn smoothed: a pixel counts as ink when well away from the face.
Ink InkAt(const QImage& image, int x, int y) {
    const QColor c(image.pixel(x, y));
    const int r = c.red(), g = c.green(), b = c.blue();
    if (r < 110 && g < 110 && b < 110 && std::abs(r - g) < 12 && std::abs(g - b) < 12) {
        return Ink::Black;
    }
    if (r > 200 && g < 150 && std::abs(g - b) < 12) {
        return Ink::Red;
    }
    return b > 200 && r < 150 && std::abs(r - g) < 12 ? Ink::Blue : Ink::None;
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

} // namespace

class TypingCheckTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir::setCurrent(m_dir.path())); // no table file: the built-in table
    }
    void init() {
        m_settings = std::make_unique<IsolatedSettings>();
        m_now = 1000;
        platform::SetTickCountSource([this] { return m_now; });
    }
    void cleanup() {
        m_settings.reset();
        platform::SetTickCountSource({});
        QCOMPARE(VisibleTopLevelWindows(), 0);
    }

    // Successive matches of the same password: the first, an equal time, a
    // faster, a slower, one faster than the last but not the best, a new best.
    // Blue marks a new best or its equal.
    void matchColourFollowsTheBestTime() {
        const QList<int> durations{700, 700, 650, 680, 670, 649};
        const QList<bool> blue{false, true, true, false, false, true};
        ShownDialog d;
        std::uint32_t best = 0;
        for (qsizetype k = 0; k < durations.size(); ++k) {
            // The first attempt starts at its first key, later ones at the check before.
            const std::uint32_t start =
                d.dialog.Typing().StartTime() != 0 ? d.dialog.Typing().StartTime() : m_now;
            const auto duration = static_cast<std::uint32_t>(durations[k]);
            TypeText(d.Field(), QStringLiteral("akstn"));
            m_now = start + duration;
            QTest::keyClick(d.Field(), Qt::Key_Return);
            best = best == 0 ? duration : std::min(best, duration);

            const ResultLine& shown = d.dialog.Typing().Result();
            QCOMPARE(ToQString(shown.message), U("パスワードが一致しました。%1(ms)").arg(durations[k]));
            QCOMPARE(d.dialog.Typing().BestTime(), best);
            const QImage image = d.Result();
            const QRect all = image.rect();
            QCOMPARE(CountInk(image, all, Ink::Blue) > 30, blue[k]);
            QCOMPARE(CountInk(image, all, Ink::Black) > 30, !blue[k]);
        }
    }

    void checkEmptiesTheFieldAndStartsTheNextTiming() {
        ShownDialog d;
        QCOMPARE(d.dialog.Typing().StartTime(), 0u);
        m_now = 0xFFFFFF00u; // the counter wraps during the attempt
        TypeText(d.Field(), QStringLiteral("a"));
        m_now = 0xFFFFFF80u;
        TypeText(d.Field(), QStringLiteral("kstn"));
        m_now = 0x10;
        QTest::keyClick(d.Field(), Qt::Key_Return);
        QCOMPARE(ToQString(d.dialog.Typing().Result().message), U("パスワードが一致しました。272(ms)"));
        QCOMPARE(d.Field()->text(), QString());
        QCOMPARE(d.dialog.Typing().StartTime(), 0x10u);
        m_now = 0x10 + 3000;
        d.Check(QStringLiteral("akstn"));
        QCOMPARE(ToQString(d.dialog.Typing().Result().message), U("パスワードが一致しました。3000(ms)"));
    }

    void emptyFieldIsRefused() {
        ShownDialog d;
        const QImage before = d.Result();
        QTest::keyClick(d.Field(), Qt::Key_Return);
        QCOMPARE(d.boxes.shown.size(), std::size_t{1});
        QCOMPARE(d.boxes.shown[0].text, U("パスワードが入力されていません"));
        QCOMPARE(d.boxes.shown[0].caption, platform::ApplicationName());
        QCOMPARE(d.boxes.shown[0].buttons, platform::Buttons::Ok);
        QCOMPARE(d.boxes.shown[0].icon, platform::Icon::Exclamation);
        QVERIFY(d.dialog.Typing().Result().IsEmpty());
        QCOMPARE(d.Result(), before);
        m_now = 7100; // the next keystroke starts a new timing
        TypeText(d.Field(), QStringLiteral("a"));
        QCOMPARE(d.dialog.Typing().StartTime(), 7100u);
    }

    // a R, K wrong, s R, x extra, t R, n R; each glyph advances its width + 1.
    void comparisonLineIsDrawnInRedAndUnderlined() {
        ShownDialog d;
        d.Check(QStringLiteral("aKsxtn"));
        QVERIFY(d.dialog.Typing().Result().message.empty());
        QVERIFY(d.dialog.Typing().Result().glyphs == ComparisonLine("akstn", "aKsxtn"));
        const QImage image = d.Result();
        const QFontMetrics metrics(d.dialog.GetDlgItem(IDC_TYPING_RESULT)->font());
        const int baseline = (image.height() - metrics.height()) / 2 + metrics.ascent();
        const QString kinds = QStringLiteral("RWRXRR");
        int x = 0;
        for (qsizetype k = 0; k < kinds.size(); ++k) {
            const int advance = metrics.horizontalAdvance(QStringLiteral("aKsxtn").at(k));
            const QRect span(x, 0, advance, image.height());
            const QString where = QStringLiteral("glyph %1").arg(k);
            const bool red = kinds[k] != 'R';
            QVERIFY2(CountInk(image, span, red ? Ink::Red : Ink::Black) > 0, qPrintable(where));
            QVERIFY2(CountInk(image, span, red ? Ink::Black : Ink::Red) == 0, qPrintable(where));
            // Below the baseline only an underline spans a glyph's width.
            const QRect below(QPoint(x, baseline), QPoint(x + advance - 2, image.height() - 1));
            bool underlined = false;
            for (int y = below.top(); y <= below.bottom(); ++y) {
                underlined |= CountInk(image, QRect(x, y, below.width(), 1), Ink::Red) == below.width();
            }
            QVERIFY2(underlined == (kinds[k] == 'X'), qPrintable(where));
            x += advance + 1;
        }
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<IsolatedSettings> m_settings;
    std::uint32_t m_now = 1000;
};

QTEST_MAIN(TypingCheckTest)
#include "TypingCheckTest.moc"
