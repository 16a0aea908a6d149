// The katakana field's romaji helper as the user meets it: keys typed into a
// real edit, the composition shown and committed, the byte limit, and text
// that reaches the field by other ways.
#include "kana/KanaLineEdit.h"

#include "support/GuiTestHelpers.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <QtTest>

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A window around the field that sees the keys the field leaves alone, as the
// dialog does with Enter.
class Host : public QWidget {
public:
    Host() {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(edit);
        layout->addWidget(new QLineEdit);
    }
    KanaLineEdit* edit = new KanaLineEdit;
    QStringList textAtReturn;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return) {
            textAtReturn << edit->text();
        }
    }
};

} // namespace

class KanaLineEditTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_host = std::make_unique<Host>();
        m_host->show();
        QVERIFY(QTest::qWaitForWindowActive(m_host.get()));
        m_edit = m_host->edit;
        m_edit->setFocus();
        QTRY_VERIFY(m_edit->hasFocus());
    }
    void cleanup() {
        m_host.reset();
        QCOMPARE(VisibleTopLevelWindows(), 0);
    }

    // Keys: \r is Enter, \t Tab, \b Backspace. A limit of 0 means none.
    void typing_data() {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pending");
        QTest::newRow("n, signs and space") << 0 << "sango kan'i[-]kon" << U("サンゴ　カンイ「ー」コ") << "n";
        QTest::newRow("a digit ends the romaji") << 0 << "ky1n2" << U("ky1ン2") << "";
        QTest::newRow("Enter commits n as katakana") << 0 << "kon\r" << U("コン") << "";
        QTest::newRow("Tab commits letters as typed") << 0 << "kk\t" << U("ッk") << "";
        QTest::newRow("Backspace: pending letters first") << 0 << "aky\b\b\bi" << U("イ") << "";
        QTest::newRow("limit: kana past it") << 6 << "aiue" << U("アイウ") << "";
        QTest::newRow("limit: syllable refused whole") << 5 << "aikya" << U("アイ") << "ky";
        QTest::newRow("limit: small tsu refused with its carry") << 3 << "akka" << U("ア") << "k";
        QTest::newRow("limit: flush and sign refused together") << 5 << "aik-" << U("アイ") << "k";
        QTest::newRow("limit: letters refused together on Enter") << 5 << "aiky\r" << U("アイ") << "";
    }
    void typing() {
        QFETCH(int, limit);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(QString, pending);
        m_edit->SetLimitText(limit);
        QTest::keyClicks(m_edit, keys);
        QCOMPARE(m_edit->text(), text);
        QCOMPARE(m_edit->PendingRomaji(), pending);
    }

    void pendingRomajiShowsAtTheCaretOutsideTheText() {
        const QImage empty = m_edit->grab().toImage();
        QTest::keyClicks(m_edit, QStringLiteral("ky"));
        QCOMPARE(m_edit->text(), QString());
        QVERIFY(m_edit->grab().toImage() != empty);
        QTest::keyClicks(m_edit, QStringLiteral("\b\b"));
        QCOMPARE(m_edit->grab().toImage(), empty);
    }

    void enterReachesTheWindowAfterTheCommitAndAClickCommitsToo() {
        QTest::keyClicks(m_edit, QStringLiteral("kon\r"));
        QCOMPARE(m_host->textAtReturn, QStringList{U("コン")});
        QTest::keyClicks(m_edit, QStringLiteral("kon"));
        QTest::mouseClick(m_edit, Qt::LeftButton, {}, QPoint(1, m_edit->height() / 2));
        QCOMPARE(m_edit->text(), U("コンコン"));
        QCOMPARE(m_edit->cursorPosition(), 0);
    }

    void caretFollowsAReplacementInsideTheText() {
        m_edit->setText(U("アイ"));
        m_edit->setCursorPosition(1);
        QTest::keyClicks(m_edit, QStringLiteral("kyan\r"));
        QCOMPARE(m_edit->text(), U("アキャンイ"));
        QCOMPARE(m_edit->cursorPosition(), 4);
        // A selection gives its room to what replaces it.
        m_edit->SetLimitText(10);
        m_edit->selectAll();
        QTest::keyClicks(m_edit, QStringLiteral("e"));
        QCOMPARE(m_edit->text(), U("エ"));
    }

    void textFromARealInputMethodThePasteOrTheProgramIsUntouched() {
        QTest::keyClicks(m_edit, QStringLiteral("k"));
        // The input method starts composing: our own pending keys go first, as typed.
        QInputMethodEvent composing(U("かn"), {});
        QApplication::sendEvent(m_edit, &composing);
        // Keys that reach the field while it composes are not ours to turn.
        QTest::keyClicks(m_edit, QStringLiteral("a"));
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("nka"));
        QApplication::sendEvent(m_edit, &commit);
        QCOMPARE(m_edit->text(), QStringLiteral("kanka"));
        // Composition over, typed romaji turn again, and a paste is taken as it is.
        QApplication::clipboard()->setText(QStringLiteral("konnichiha"));
        QTest::keyClicks(m_edit, QStringLiteral("an"));
        QTest::keyClick(m_edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_edit->text(), U("kankaアンkonnichiha"));
        // A composition survives the program's text and goes on at the caret.
        QTest::keyClicks(m_edit, QStringLiteral("k"));
        m_edit->setText(QStringLiteral("sango n"));
        QTest::keyClicks(m_edit, QStringLiteral("o\r"));
        QCOMPARE(m_edit->text(), U("sango nコ"));
    }

private:
    std::unique_ptr<Host> m_host;
    KanaLineEdit* m_edit = nullptr;
};

QTEST_MAIN(KanaLineEditTest)
#include "KanaLineEditTest.moc"
