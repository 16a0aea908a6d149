// What the main dialog remembers between runs (options, print font and
// colour, window position, the clipboard's clearing time) and its password
// field's copies. Each test has a settings folder of its own.
#include "app/CPasswordDlg.h"

#include "app/PasswordDialogTemplate.h"
#include "platform/SecretClipboard.h"
#include "platform/Settings.h"
#include "print/FontChooser.h"
#include "print/PrintStyle.h"
#include "print/PrintStyleSettings.h"
#include "support/GuiTestHelpers.h"
#include "support/IsolatedSettings.h"
#include "support/MessageBoxRecorder.h"

#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>
#include <vector>

using namespace app;

namespace {

// The options as the dialog shows them: random case, digits, symbols.
QList<bool> Options(const CPasswordDlg& dialog) {
    return {dialog.IsDlgButtonChecked(IDC_RANDOM_CASE), dialog.IsDlgButtonChecked(IDC_USE_DIGITS),
            dialog.IsDlgButtonChecked(IDC_USE_SYMBOLS)};
}

} // namespace

class RememberedSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_tableDir.isValid());
        QVERIFY(QDir::setCurrent(m_tableDir.path())); // no table file: the built-in table
    }
    void init() { m_settings = std::make_unique<IsolatedSettings>(); }
    void cleanup() {
        SetFontChooserHandler({});
        QGuiApplication::clipboard()->clear();
        m_settings.reset();
        QCOMPARE(VisibleTopLevelWindows(), 0);
    }

    // Options changed in one run are there in the next; nothing remembered
    // gives the start-up state.
    void optionsComeBack_data() {
        QTest::addColumn<bool>("random");
        QTest::addColumn<bool>("digits");
        QTest::addColumn<bool>("symbols");
        QTest::newRow("start-up state") << false << true << true;
        QTest::newRow("random case") << true << true << true;
        QTest::newRow("no digits") << false << false << true;
        QTest::newRow("random case, no digits or symbols") << true << false << false;
    }
    void optionsComeBack() {
        QFETCH(bool, random);
        QFETCH(bool, digits);
        QFETCH(bool, symbols);
        {
            CPasswordDlg first;
            first.Create();
            QCOMPARE(Options(first), (QList<bool>{false, true, true}));
            first.Item<QRadioButton>(random ? IDC_RANDOM_CASE : IDC_CAPITAL_AFTER_SPACE)->click();
            first.CheckDlgButton(IDC_USE_DIGITS, digits);
            first.CheckDlgButton(IDC_USE_SYMBOLS, symbols);
            first.EndDialog(IDCANCEL);
        }
        CPasswordDlg second;
        second.Create();
        QCOMPARE(Options(second), (QList<bool>{random, digits, symbols}));
        QCOMPARE(second.IsDlgButtonChecked(IDC_CAPITAL_AFTER_SPACE), !random);
    }

    // The font and colour chosen are kept at once, not only at a tidy exit.
    void printFontAndColourComeBack() {
        FontChoice chosen;
        {
            CPasswordDlg first;
            first.Create();
            chosen = FontChoice{first.PrintImagePanel().Style().Description(), QColor(200, 0, 0)};
            chosen.font.height = -30;
            chosen.font.weight = FontDescription::Bold;
            chosen.font.italic = 1;
            SetFontChooserHandler([&](QWidget*, const FontChoice&) { return chosen; });
            first.ChangePrintFont();
        } // destroyed without being closed
        CPasswordDlg second;
        second.Create();
        const PrintStyle& style = second.PrintImagePanel().Style();
        QCOMPARE(style.Description(), chosen.font);
        QCOMPARE(style.TextColour(), chosen.colour);
        QVERIFY(style.Font().italic());
        second.EndDialog(IDCANCEL);
    }

    void cancelledFontChoiceKeepsNothing() {
        {
            CPasswordDlg first;
            first.Create();
            SetFontChooserHandler([](QWidget*, const FontChoice&) { return std::optional<FontChoice>(); });
            first.ChangePrintFont();
        }
        QVERIFY(!platform::OpenSettings()->contains(QStringLiteral("print/colour")));
    }

    // A position comes back only when the title bar lies wholly on a screen;
    // otherwise the window is left where a fresh start puts it.
    void windowPositionComesBack_data() {
        QTest::addColumn<QVariant>("position");
        QTest::addColumn<bool>("comesBack");
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QTest::newRow("on the screen") << QVariant(screen.topLeft() + QPoint(40, 30)) << true;
        QTest::newRow("off every screen") << QVariant(QPoint(-20000, -20000)) << false;
        QTest::newRow("one pixel on the screen")
            << QVariant(QPoint(screen.right(), screen.top() + 30)) << false;
        QTest::newRow("not a position") << QVariant(QStringLiteral("hello")) << false;
    }
    void windowPositionComesBack() {
        QFETCH(QVariant, position);
        QFETCH(bool, comesBack);
        platform::OpenSettings()->setValue(QStringLiteral("window/position"), position);
        CPasswordDlg dialog;
        dialog.Create();
        QCOMPARE(dialog.testAttribute(Qt::WA_Moved), comesBack);
        if (comesBack) {
            QCOMPARE(dialog.pos(), position.toPoint());
        }
        dialog.move(60, 50);
        dialog.EndDialog(IDCANCEL);
        QCOMPARE(platform::OpenSettings()->value(QStringLiteral("window/position")).toPoint(),
                 QPoint(60, 50));
    }

    // Copying from the password field marks the copy as a secret, and the
    // clearing time is a setting (0: never).
    void passwordCopiesAreSecretAndCleared_data() {
        QTest::addColumn<QVariant>("seconds"); // as kept; invalid: none kept
        QTest::addColumn<int>("scheduledMs");  // -1: no clearing
        QTest::newRow("default") << QVariant() << 30000;
        QTest::newRow("ten seconds") << QVariant(10) << 10000;
        QTest::newRow("switched off") << QVariant(0) << -1;
        QTest::newRow("an hour") << QVariant(3600) << 3600000;
        QTest::newRow("negative: the default") << QVariant(-5) << 30000;
        QTest::newRow("past an hour: the default") << QVariant(3601) << 30000;
        QTest::newRow("past the timer: the default") << QVariant(2147484) << 30000;
        QTest::newRow("not a number: the default") << QVariant("hello") << 30000;
    }
    void passwordCopiesAreSecretAndCleared() {
        QFETCH(QVariant, seconds);
        QFETCH(int, scheduledMs);
        if (seconds.isValid()) {
            platform::OpenSettings()->setValue(QStringLiteral("clipboard/clearSeconds"), seconds);
        }
        CPasswordDlg dialog;
        dialog.Create();
        std::vector<std::pair<int, std::function<void()>>> scheduled;
        dialog.Clipboard().SetScheduler(
            [&](int ms, std::function<void()> done) { scheduled.emplace_back(ms, std::move(done)); });
        auto* field = dialog.Item<QLineEdit>(IDC_PASSWORD);
        field->setText(QStringLiteral("39r39r"));
        field->selectAll();
        QTest::keySequence(field, QKeySequence::Copy);
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data != nullptr);
        QCOMPARE(data->text(), QStringLiteral("39r39r"));
        QCOMPARE(data->data(QStringLiteral("x-kde-passwordManagerHint")), QByteArray("secret"));
        QCOMPARE(scheduled.size(), std::size_t(scheduledMs < 0 ? 0 : 1));
        if (scheduledMs >= 0) {
            QCOMPARE(scheduled[0].first, scheduledMs);
            scheduled[0].second();
            QVERIFY(QGuiApplication::clipboard()->text().isEmpty());
        }
        dialog.EndDialog(IDCANCEL);
        // What the user wrote stays as written; nothing written gets the default.
        QCOMPARE(platform::OpenSettings()->value(QStringLiteral("clipboard/clearSeconds")).toString(),
                 seconds.isValid() ? seconds.toString() : QStringLiteral("30"));
    }

private:
    QTemporaryDir m_tableDir;
    std::unique_ptr<IsolatedSettings> m_settings;
};

QTEST_MAIN(RememberedSettingsTest)
#include "RememberedSettingsTest.moc"
