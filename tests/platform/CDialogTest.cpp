// The dialog base: layout from dialog units, Enter and Escape, tab order,
// message map, text exchange, timers, the code page 932 edit and message boxes.
#include "platform/CDialog.h"

#include "platform/Cp932LineEdit.h"
#include "platform/Fonts.h"
#include "platform/QtText.h"
#include "support/GuiTestHelpers.h"
#include "support/MessageBoxRecorder.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <array>

namespace {

constexpr std::array<dlg::Control, 8> kControls{{
    {dlg::kStaticId, dlg::Kind::GroupBox, "枠", 2, 2, 150, 90, dlg::None},
    {100, dlg::Kind::Edit, "", 10, 10, 80, 14, dlg::TabStop | dlg::Border},
    {101, dlg::Kind::Edit, "", 10, 30, 80, 14, dlg::TabStop | dlg::Border},
    {200, dlg::Kind::PushButton, "一", 100, 10, 40, 14, dlg::TabStop},
    {201, dlg::Kind::PushButton, "二", 100, 30, 40, 14, dlg::TabStop},
    {300, dlg::Kind::AutoCheck, "チェック", 10, 50, 60, 10, dlg::TabStop},
    {400, dlg::Kind::AutoRadio, "甲", 10, 65, 60, 10, dlg::Group},
    {401, dlg::Kind::AutoRadio, "乙", 10, 77, 60, 10, dlg::None},
}};

constexpr dlg::Template kTemplate{"試験", 160, 100, "ＭＳ Ｐゴシック", 9, kControls};

class TestDialog : public CDialog {
public:
    TestDialog()
        : CDialog(kTemplate) {
        MapClicked(200, &TestDialog::OnFirst);
        MapSetFocus(101, &TestDialog::OnSecondFocus);
        MapUpdate(100, &TestDialog::OnFirstUpdate);
    }
    void OnOK() override { ++okCount; }
    void OnCancel() override {
        ++cancelCount;
        CDialog::OnCancel();
    }
    void OnTimer(int id) override { timerIds.push_back(id); }
    void DoDataExchange(bool save) override { DDX_Text(save, 100, text); }
    void OnFirst() { ++firstClicks; }
    void OnSecondFocus() { ++secondFocus; }
    void OnFirstUpdate() { ++updates; }

    int okCount = 0, cancelCount = 0, firstClicks = 0, secondFocus = 0, updates = 0;
    std::vector<int> timerIds;
    std::string text;
};

} // namespace

class CDialogTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QCOMPARE(VisibleTopLevelWindows(), 0); }

    void controlsAreLaidOutFromTheFontMetrics() {
        TestDialog dialog;
        dialog.Create();
        const QFontMetrics metrics(PointFont(QString::fromUtf8("ＭＳ Ｐゴシック"), 90));
        const int bx = (metrics.horizontalAdvance(
                            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                            26 +
                        1) /
                       2;
        const int by = metrics.height();
        QCOMPARE(dialog.BaseUnits(), QSize(bx, by));
        const QRect edit = dialog.GetDlgItem(101)->geometry();
        QCOMPARE(edit.x(), (10 * bx + 2) / 4);
        QCOMPARE(edit.y(), (30 * by + 4) / 8);
        QCOMPARE(edit.right() + 1, (90 * bx + 2) / 4);
        QCOMPARE(dialog.size(), QSize((160 * bx + 2) / 4, (100 * by + 4) / 8));
        QCOMPARE(dialog.windowTitle(), QString::fromUtf8("試験"));
        QCOMPARE(dialog.GetDlgItem(101)->objectName(), QStringLiteral("id101"));
    }

    void enterPressesTheDefaultButtonOrRunsOnOK() {
        TestDialog dialog;
        dialog.Create();
        dialog.show();
        dialog.GotoDlgCtrl(100);
        QTest::keyClick(dialog.GetDlgItem(100), Qt::Key_Return);
        QCOMPARE(dialog.okCount, 1);
        dialog.SetDefID(200);
        QTest::keyClick(dialog.GetDlgItem(100), Qt::Key_Return);
        QCOMPARE(dialog.firstClicks, 1);
        QCOMPARE(dialog.okCount, 1);
        // A disabled default button ignores Enter.
        dialog.EnableDlgItem(200, false);
        QTest::keyClick(dialog.GetDlgItem(100), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(dialog.firstClicks, 1);
        QVERIFY(dialog.isVisible());
        dialog.EndDialog(IDCANCEL);
    }

    void enterOnAFocusedButtonPressesIt() {
        TestDialog dialog;
        dialog.Create();
        dialog.show();
        dialog.SetDefID(201);
        dialog.GotoDlgCtrl(200);
        QTest::keyClick(dialog.GetDlgItem(200), Qt::Key_Return);
        QCOMPARE(dialog.firstClicks, 1);
        dialog.EndDialog(IDCANCEL);
    }

    void escapeAndTheCloseBoxRunOnCancel() {
        TestDialog dialog;
        dialog.Create();
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.cancelCount, 1);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(IDCANCEL));

        TestDialog second;
        second.Create();
        second.show();
        second.close();
        QCOMPARE(second.cancelCount, 1);
        QVERIFY(!second.isVisible());
    }

    void defaultStyleIsKeptPerButton() {
        TestDialog dialog;
        dialog.Create();
        dialog.SetDefaultStyle(200, true);
        dialog.SetDefaultStyle(201, true);
        QVERIFY(dialog.HasDefaultStyle(200));
        QVERIFY(dialog.HasDefaultStyle(201));
        dialog.SetDefaultStyle(200, false);
        QVERIFY(!dialog.HasDefaultStyle(200));
        QVERIFY(dialog.Item<QPushButton>(201)->isDefault());
    }

    void tabOrderFollowsTheTemplateAndFocusStartsAtTheFirstTabStop() {
        TestDialog dialog;
        dialog.Create();
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(QApplication::focusWidget(), dialog.GetDlgItem(100));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dialog.GetDlgItem(101));
        QCOMPARE(dialog.secondFocus, 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dialog.GetDlgItem(200));
        QCOMPARE(dialog.GetDlgItem(400)->focusPolicy(), Qt::ClickFocus);
        dialog.EndDialog(IDCANCEL);
    }

    void radioGroupsAreExclusive() {
        TestDialog dialog;
        dialog.Create();
        dialog.CheckDlgButton(400, true);
        dialog.Item<QRadioButton>(401)->click();
        QVERIFY(!dialog.IsDlgButtonChecked(400));
        QVERIFY(dialog.IsDlgButtonChecked(401));
    }

    void textExchangeWritesOnlyChangedText() {
        TestDialog dialog;
        dialog.Create();
        dialog.text = "\x83\x41"; // ア
        dialog.UpdateData(false);
        QCOMPARE(dialog.Item<QLineEdit>(100)->text(), QString::fromUtf8("ア"));
        QCOMPARE(dialog.updates, 1);
        dialog.UpdateData(false);
        QCOMPARE(dialog.updates, 1);
        dialog.Item<QLineEdit>(100)->setText(QString::fromUtf8("ｱ　"));
        dialog.UpdateData(true);
        QCOMPARE(dialog.text, std::string("\xB1\x81\x40"));
    }

    void timersReachOnTimerAndEndWithTheDialog() {
        TestDialog dialog;
        dialog.Create();
        dialog.show();
        dialog.SetTimer(7, 1);
        QTRY_VERIFY(!dialog.timerIds.empty());
        QCOMPARE(dialog.timerIds.front(), 7);
        QVERIFY(dialog.IsTimerRunning(7));
        dialog.EndDialog(IDOK);
        QVERIFY(!dialog.IsTimerRunning(7));
    }

    void editsRefuseCharactersWithoutACodePage932Form() {
        Cp932LineEdit edit;
        edit.show();
        TypeText(&edit, QString::fromUtf8("ア€b한"));
        QCOMPARE(edit.text(), QString::fromUtf8("アb"));
        QApplication::clipboard()->setText(QString::fromUtf8("x€"));
        edit.paste();
        QCOMPARE(edit.text(), QString::fromUtf8("アb"));
        edit.hide();
    }

    void editsCutPastedTextAtTheByteLimitWithoutSplitting() {
        Cp932LineEdit edit;
        edit.SetLimitText(5);
        edit.show();
        QTest::keyClicks(&edit, QStringLiteral("a"));
        QApplication::clipboard()->setText(QString::fromUtf8("アイウ"));
        edit.paste();
        // 1 + 2 + 2 bytes fit; the third character would make 7.
        QCOMPARE(edit.text(), QString::fromUtf8("aアイ"));
        QTest::keyClicks(&edit, QStringLiteral("z"));
        QCOMPARE(edit.text(), QString::fromUtf8("aアイ"));
        edit.hide();
    }

    void applicationBoxesGetTheNameAndAnExclamationIcon() {
        MessageBoxRecorder boxes;
        boxes.Answer(IDCANCEL);
        QCOMPARE(AfxMessageBox("\x83\x41", MB_OKCANCEL), int(IDCANCEL));
        QCOMPARE(AfxMessageBox("b", MB_OK | MB_ICONQUESTION), int(IDOK));
        QCOMPARE(WindowMessageBox(nullptr, "c"), int(IDOK));
        QCOMPARE(boxes.shown.size(), std::size_t{3});
        QCOMPARE(boxes.shown[0].caption, ApplicationName());
        QCOMPARE(boxes.shown[0].text, QString::fromUtf8("ア"));
        QCOMPARE(boxes.shown[0].type, unsigned(MB_OKCANCEL | MB_ICONEXCLAMATION));
        QCOMPARE(boxes.shown[1].type, unsigned(MB_OK | MB_ICONQUESTION));
        QCOMPARE(boxes.shown[2].type, unsigned(MB_OK));
    }
};

QTEST_MAIN(CDialogTest)
#include "CDialogTest.moc"
