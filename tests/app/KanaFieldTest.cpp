// The katakana field in the main dialog: what is typed, committed by an input
// method or pasted, the text it leaves and the password it converts to; the
// composition keys against the dialog's own Enter and Escape; the 70 bytes.
#include "app/CPasswordDlg.h"

#include "app/PasswordDialogTemplate.h"
#include "kana/KanaLineEdit.h"
#include "support/GuiTestHelpers.h"
#include "support/MessageBoxRecorder.h"

#include <QClipboard>
#include <QDir>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

using namespace app;

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

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
    KanaLineEdit* Field() const { return dialog.Item<KanaLineEdit>(IDC_KATAKANA); }
    QString Password() const { return dialog.Item<QLineEdit>(IDC_PASSWORD)->text(); }
    CPasswordDlg dialog;
};

} // namespace

class KanaFieldTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // No table file: the built-in table.
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }
    void cleanup() { QCOMPARE(VisibleTopLevelWindows(), 0); }

    void typedKeysKeepEverySyllable_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("password");
        QTest::newRow("digit first") << "1sakura" << U("１サクラ") << "39r";
        QTest::newRow("typo") << "sakurkasakura" << U("サクｒカサクラ") << "39k39r";
        QTest::newRow("capitals, digit, space, sign") << "Password1 kyoto!" << U("パッｓヲｒｄ１　キョト！")
                                                      << "pwKt";
        QTest::newRow("space marks a capital") << "sakura sakura" << U("サクラ　サクラ") << "39r39r";
        QTest::newRow("Enter commits a trailing n") << "hon" << U("ホン") << "hn";
    }
    void typedKeysKeepEverySyllable() {
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(QString, password);
        MessageBoxRecorder boxes;
        ShownDialog d;
        QTest::keyClicks(d.Field(), keys);
        QTest::keyClick(d.Field(), Qt::Key_Return);
        QCOMPARE(d.Field()->text(), text);
        QCOMPARE(d.Password(), password);
    }

    // An input method's commit is put in katakana mode; a paste is taken as it is.
    void committedAndPastedText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("pasted");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("password");
        QTest::newRow("hiragana commit") << U("さくら") << false << U("サクラ") << "39r";
        QTest::newRow("half-width commit") << U("ｻｸﾗ　ｻｸﾗ") << false << U("サクラ　サクラ") << "39r39r";
        QTest::newRow("half-width digit commit") << U("1ｻｸﾗ") << false << U("１サクラ") << "39r";
        QTest::newRow("pasted single-byte digit") << U("1サクラ") << true << U("1サクラ") << "";
    }
    void committedAndPastedText() {
        QFETCH(QString, text);
        QFETCH(bool, pasted);
        QFETCH(QString, field);
        QFETCH(QString, password);
        MessageBoxRecorder boxes;
        ShownDialog d;
        if (pasted) {
            QApplication::clipboard()->setText(text);
            QTest::keyClick(d.Field(), Qt::Key_V, Qt::ControlModifier);
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QApplication::sendEvent(d.Field(), &commit);
        }
        QTest::keyClick(d.Field(), Qt::Key_Return);
        QCOMPARE(d.Field()->text(), field);
        QCOMPARE(d.Password(), password);
    }

    void escapeDropsPendingLettersBeforeItCloses() {
        ShownDialog d;
        QTest::keyClicks(d.Field(), QStringLiteral("saky"));
        QTest::keyClick(d.Field(), Qt::Key_Escape);
        QVERIFY(d.dialog.isVisible());
        QCOMPARE(d.Field()->text(), U("サ"));
        QCOMPARE(d.Field()->PendingRomaji(), QString());
        QTest::keyClick(d.Field(), Qt::Key_Escape);
        QVERIFY(!d.dialog.isVisible());
        QCOMPARE(d.dialog.result(), int(IDCANCEL));
    }

    void emptyFieldSaysHowToType() {
        ShownDialog d;
        QCOMPARE(d.Field()->placeholderText(), U("ローマ字で入力できます（sakura → サクラ）"));
        QCOMPARE(d.Field()->toolTip(), KanaLineEdit::TypingHint());
        QVERIFY(d.Field()->toolTip().contains(QStringLiteral("sakura")));
    }

    // 35 full-width characters; what would pass them is refused whole.
    void seventyBytesWithFullWidthForms_data() {
        QTest::addColumn<int>("before"); // ア typed first
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("tail");
        QTest::newRow("digit fills the last two bytes") << 34 << "1a" << U("１");
        QTest::newRow("two-character syllable past the end") << 34 << "kya" << QString();
        QTest::newRow("two-character syllable at the end") << 33 << "kya" << U("キャ");
        QTest::newRow("leftover letters past the end") << 34 << "ky" << QString();
        QTest::newRow("space at the end") << 34 << " " << U("　");
    }
    void seventyBytesWithFullWidthForms() {
        QFETCH(int, before);
        QFETCH(QString, keys);
        QFETCH(QString, tail);
        MessageBoxRecorder boxes;
        ShownDialog d;
        QTest::keyClicks(d.Field(), QStringLiteral("a").repeated(before) + keys);
        QTest::keyClick(d.Field(), Qt::Key_Return);
        QCOMPARE(d.Field()->text(), U("ア").repeated(before) + tail);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(KanaFieldTest)
#include "KanaFieldTest.moc"
