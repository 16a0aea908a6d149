// The dialog base: layout from dialog units, Enter and Escape, tab order,
// message map, text exchange, timers and the code page 932 edit.
#include "platform/CDialog.h"

#include "platform/LimitedLineEdit.h"
#include "platform/PaintArea.h"
#include "support/GuiTestHelpers.h"

#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <array>

namespace {

// A group box; an edit, a group of three radio buttons without tab stops, a
// check box, a password edit; a button and a disabled one.
constexpr std::array<dlg::Control, 9> kControls{{
    {dlg::kStaticId, dlg::Kind::GroupBox, "枠", 2, 2, 150, 96, dlg::None},
    {100, dlg::Kind::Edit, "", 10, 10, 80, 14, dlg::TabStop | dlg::Border},
    {300, dlg::Kind::AutoRadio, "上", 10, 30, 80, 10, dlg::Group},
    {301, dlg::Kind::AutoRadio, "中", 10, 42, 80, 10, dlg::None},
    {302, dlg::Kind::AutoRadio, "下", 10, 54, 80, 10, dlg::None},
    {400, dlg::Kind::AutoCheck, "箱", 10, 66, 80, 10, dlg::TabStop},
    {101, dlg::Kind::Edit, "", 10, 80, 80, 14, dlg::TabStop | dlg::Border | dlg::Password},
    {200, dlg::Kind::PushButton, "一", 100, 10, 40, 14, dlg::TabStop},
    {201, dlg::Kind::PushButton, "二", 100, 30, 40, 14, dlg::TabStop | dlg::Disabled},
}};

constexpr dlg::Template kTemplate{"試験", 160, 100, "ＭＳ Ｐゴシック", 9, kControls};

class TestDialog : public CDialog {
public:
    TestDialog()
        : CDialog(kTemplate) {
        MapClicked(200, &TestDialog::OnFirst);
        MapSetFocus(101, &TestDialog::OnSecondFocus);
        MapUpdate(100, &TestDialog::OnFirstUpdate);
        Create();
    }
    void OnOK() override { log << "OK"; }
    void OnCancel() override {
        log << "Cancel";
        CDialog::OnCancel();
    }
    void OnTimer(int id) override { log << QStringLiteral("timer %1").arg(id); }
    void DoDataExchange(bool save) override { DDX_Text(save, 100, text); }
    void OnFirst() { log << "clicked 200"; }
    void OnSecondFocus() { log << "focus 101"; }
    void OnFirstUpdate() { log << "update 100"; }

    QStringList log;
    std::string text;
};

} // namespace

class CDialogTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QCOMPARE(VisibleTopLevelWindows(), 0); }

    // Dialog units follow the font: controls that meet in the template meet on
    // screen, equal sizes stay equal, and a larger font makes everything larger.
    void layoutFollowsTheTemplateAndTheFont() {
        TestDialog dialog;
        const QRect first = dialog.GetDlgItem(100)->geometry();
        const QRect second = dialog.GetDlgItem(101)->geometry();
        const QRect button = dialog.GetDlgItem(200)->geometry();
        QCOMPARE(second.size(), first.size());
        QCOMPARE(second.left(), first.left());
        QVERIFY(second.top() > first.bottom());
        QCOMPARE(button.top(), first.top());
        QVERIFY(button.left() > first.right()); // 10 + 80 units end before 100
        QCOMPARE(dialog.Item<QLineEdit>(100)->echoMode(), QLineEdit::Normal);
        QCOMPARE(dialog.Item<QLineEdit>(101)->echoMode(), QLineEdit::Password);
        QVERIFY(dialog.GetDlgItem(200)->isEnabled() && !dialog.GetDlgItem(201)->isEnabled());

        constexpr dlg::Template kLarge{"試験", 160, 100, "ＭＳ Ｐゴシック", 18, kControls};
        CDialog large(kLarge);
        large.Create();
        QVERIFY(large.width() > dialog.width() * 3 / 2 && large.height() > dialog.height() * 3 / 2);
        QVERIFY(large.GetDlgItem(101)->width() > first.width() * 3 / 2);
    }

    // Tab follows the template; Enter presses the focused or the enabled
    // default button, or runs OnOK; Escape and the close box run OnCancel.
    void keysFollowTheTemplateAndTheButtons() {
        TestDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (const int id : {100, 300, 400, 101, 200}) {
            QCOMPARE(QApplication::focusWidget(), dialog.GetDlgItem(id));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QWidget* edit = dialog.GetDlgItem(100);
        QTest::keyClick(edit, Qt::Key_Return);
        dialog.SetDefID(200);
        QTest::keyClick(edit, Qt::Key_Return);
        dialog.EnableDlgItem(200, false); // a disabled default button ignores Enter
        QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
        dialog.EnableDlgItem(200, true);
        dialog.SetDefID(201);
        dialog.GotoDlgCtrl(200);
        QTest::keyClick(dialog.GetDlgItem(200), Qt::Key_Return);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(IDCANCEL));
        dialog.show();
        dialog.close();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.log,
                 QStringList({"focus 101", "OK", "clicked 200", "clicked 200", "Cancel", "Cancel"}));
        // The default look is kept per button.
        dialog.SetDefaultStyle(200, true);
        dialog.SetDefaultStyle(201, true);
        dialog.SetDefaultStyle(200, false);
        QVERIFY(!dialog.HasDefaultStyle(200));
        QVERIFY(dialog.Item<QPushButton>(201)->isDefault());
    }

    // The radio group is one tab stop on its checked button; the arrow keys
    // move the choice within the group without leaving it.
    void radioGroupTakesTabAndArrows() {
        TestDialog dialog;
        dialog.CheckDlgButton(301, true);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        const std::pair<Qt::Key, int> keys[] = {
            {Qt::Key_Tab, 301},  {Qt::Key_Up, 300},  {Qt::Key_Down, 301},    {Qt::Key_Down, 302},
            {Qt::Key_Down, 302}, {Qt::Key_Tab, 400}, {Qt::Key_Backtab, 302}, {Qt::Key_Backtab, 100}};
        for (const auto& [key, focus] : keys) {
            QTest::keyClick(QApplication::focusWidget(), key);
            QCOMPARE(QApplication::focusWidget(), dialog.GetDlgItem(focus));
        }
        QVERIFY(!dialog.IsDlgButtonChecked(300) && !dialog.IsDlgButtonChecked(301) &&
                dialog.IsDlgButtonChecked(302));
        dialog.EndDialog(IDCANCEL);
    }

    void textExchangeWritesOnlyChangedText() {
        TestDialog dialog;
        dialog.text = "ア";
        dialog.UpdateData(false);
        dialog.UpdateData(false);
        QCOMPARE(dialog.log, QStringList{"update 100"});
        dialog.Item<QLineEdit>(100)->setText(QString::fromUtf8("ｱ　"));
        dialog.UpdateData(true);
        QCOMPARE(dialog.text, std::string("ｱ　"));
    }

    void timersReachOnTimerAndEndWithTheDialog() {
        TestDialog dialog;
        dialog.show();
        dialog.SetTimer(7, 1);
        QTRY_COMPARE(dialog.log.value(0), QStringLiteral("timer 7"));
        dialog.EndDialog(IDOK);
        QVERIFY(!dialog.IsTimerRunning(7));
    }

    // The etched edge: the outer line shadow on the top and left and highlight
    // on the bottom and right, the inner line the other way round.
    void etchedFrameDrawsTwoLinesOfEachSide() {
        QImage image(8, 6, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        PaintArea::DrawEtchedFrame(painter, image.rect());
        painter.end();
        const QRgb shadow = PaintArea::Shadow3D().rgb(), light = PaintArea::Highlight3D().rgb();
        const int r = 7, b = 5;
        for (int y = 0; y <= b; ++y) {
            for (int x = 0; x <= r; ++x) {
                const int ring = std::min({x, y, r - x, b - y});
                const bool lowerRight = x >= r - ring || y >= b - ring;
                const QRgb expected = ring > 1 ? qRgb(0, 0, 0) : (ring == 0) == lowerRight ? light : shadow;
                QVERIFY2(image.pixel(x, y) == expected, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
        }
    }

    void editsRefuseWhatCodePage932CannotHoldAndNeverSplitAtTheLimit() {
        LimitedLineEdit edit;
        edit.SetLimitText(5);
        TypeText(&edit, QString::fromUtf8("ア€b한"));
        QApplication::clipboard()->setText(QString::fromUtf8("x€"));
        edit.paste();
        QCOMPARE(edit.text(), QString::fromUtf8("アb"));
        QApplication::clipboard()->setText(QString::fromUtf8("イウ"));
        edit.paste(); // 3 + 2 bytes fit; ウ would make 7
        QTest::keyClicks(&edit, QStringLiteral("z"));
        QCOMPARE(edit.text(), QString::fromUtf8("アbイ"));
    }
};

QTEST_MAIN(CDialogTest)
#include "CDialogTest.moc"
