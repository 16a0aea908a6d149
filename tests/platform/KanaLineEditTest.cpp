// The katakana field's romaji helper as the user meets it: keys typed into a
// real edit, the composition shown and committed, the byte limit, and text
// that reaches the field by other ways.
#include "platform/KanaLineEdit.h"

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
        edit = new KanaLineEdit;
        other = new QLineEdit;
        layout->addWidget(edit);
        layout->addWidget(other);
    }
    KanaLineEdit* edit;
    QLineEdit* other;
    QStringList textAtReturn;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            textAtReturn << edit->text();
        }
    }
};

enum class Trigger { Return, KeypadEnter, Tab, FocusElsewhere, Left, Click, Space, Period };

void SendInputMethod(QWidget* widget, const QString& preedit, const QString& commit) {
    QInputMethodEvent event(preedit, {});
    event.setCommitString(commit);
    QApplication::sendEvent(widget, &event);
}

} // namespace

Q_DECLARE_METATYPE(Trigger)

class KanaLineEditTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_host = std::make_unique<Host>();
        m_host->show();
        QVERIFY(QTest::qWaitForWindowActive(m_host.get()));
        m_host->edit->setFocus();
        QTRY_VERIFY(m_host->edit->hasFocus());
    }
    void cleanup() {
        m_host.reset();
        QCOMPARE(VisibleTopLevelWindows(), 0);
    }

    void typing_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pending");
        QTest::newRow("n before a consonant") << "sango" << U("サンゴ") << "";
        QTest::newRow("trailing n waits") << "kon" << U("コ") << "n";
        QTest::newRow("upper case") << "KITTE" << U("キッテ") << "";
        QTest::newRow("signs") << "[a]-?" << U("「ア」ー？") << "";
        QTest::newRow("consonant waits") << "aky" << U("ア") << "ky";
        QTest::newRow("digit ends the romaji") << "ky1n2" << U("ky1ン2") << "";
    }
    void typing() {
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(QString, pending);
        QTest::keyClicks(m_host->edit, keys);
        QCOMPARE(m_host->edit->text(), text);
        QCOMPARE(m_host->edit->PendingRomaji(), pending);
    }

    void pendingRomajiShowsAtTheCaretOutsideTheText() {
        KanaLineEdit* edit = m_host->edit;
        const QImage empty = edit->grab().toImage();
        const int caretX = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
        QTest::keyClicks(edit, QStringLiteral("ky"));
        QCOMPARE(edit->text(), QString());
        QVERIFY(edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().x() > caretX);
        QVERIFY(edit->grab().toImage() != empty);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().x(), caretX);
        QCOMPARE(edit->grab().toImage(), empty);
    }

    void commitTriggers_data() {
        QTest::addColumn<Trigger>("trigger");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::newRow("Return") << Trigger::Return << U("コン") << 2;
        QTest::newRow("keypad Enter") << Trigger::KeypadEnter << U("コン") << 2;
        QTest::newRow("Tab") << Trigger::Tab << U("コン") << 2;
        QTest::newRow("focus elsewhere") << Trigger::FocusElsewhere << U("コン") << 2;
        QTest::newRow("caret left") << Trigger::Left << U("コン") << 1;
        QTest::newRow("click at the start") << Trigger::Click << U("コン") << 0;
        QTest::newRow("full stop") << Trigger::Period << U("コン。") << 3;
    }
    void commitTriggers() {
        QFETCH(Trigger, trigger);
        QFETCH(QString, text);
        QFETCH(int, caret);
        KanaLineEdit* edit = m_host->edit;
        QTest::keyClicks(edit, QStringLiteral("kon"));
        QCOMPARE(edit->PendingRomaji(), QStringLiteral("n"));
        switch (trigger) {
        case Trigger::Return:
            QTest::keyClick(edit, Qt::Key_Return);
            break;
        case Trigger::KeypadEnter:
            QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
            break;
        case Trigger::Tab:
            QTest::keyClick(edit, Qt::Key_Tab);
            QTRY_VERIFY(m_host->other->hasFocus());
            break;
        case Trigger::FocusElsewhere:
            m_host->other->setFocus();
            QTRY_VERIFY(m_host->other->hasFocus());
            break;
        case Trigger::Left:
            QTest::keyClick(edit, Qt::Key_Left);
            break;
        case Trigger::Click:
            QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(1, edit->height() / 2));
            break;
        case Trigger::Space:
            QTest::keyClick(edit, Qt::Key_Space);
            break;
        case Trigger::Period:
            QTest::keyClicks(edit, QStringLiteral("."));
            break;
        }
        QCOMPARE(edit->text(), text);
        QCOMPARE(edit->PendingRomaji(), QString());
        QCOMPARE(edit->cursorPosition(), caret);
        const bool enter = trigger == Trigger::Return || trigger == Trigger::KeypadEnter;
        // Enter still reaches the window, after the field is complete.
        QCOMPARE(m_host->textAtReturn, enter ? QStringList{text} : QStringList{});
    }

    void flushLeavesUnfinishedRomajiAsTyped_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::newRow("lone n") << "n" << U("ン");
        QTest::newRow("consonant and y") << "ky" << U("ky");
        QTest::newRow("three letters") << "xts" << U("xts");
        QTest::newRow("after a double consonant") << "kk" << U("ッk");
    }
    void flushLeavesUnfinishedRomajiAsTyped() {
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QTest::keyClicks(m_host->edit, keys);
        QTest::keyClick(m_host->edit, Qt::Key_Return);
        QCOMPARE(m_host->edit->text(), text);
    }

    void backspaceRemovesAPendingLetterFirst() {
        KanaLineEdit* edit = m_host->edit;
        QTest::keyClicks(edit, QStringLiteral("aky"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->PendingRomaji(), QStringLiteral("k"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->PendingRomaji(), QString());
        QCOMPARE(edit->text(), U("ア"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QString());
    }

    void caretFollowsACommitInsideTheText() {
        KanaLineEdit* edit = m_host->edit;
        edit->setText(U("アイ"));
        edit->setCursorPosition(1);
        QTest::keyClicks(edit, QStringLiteral("kya"));
        QCOMPARE(edit->text(), U("アキャイ"));
        QCOMPARE(edit->cursorPosition(), 3);
        QTest::keyClicks(edit, QStringLiteral("n"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->text(), U("アキャンイ"));
        QCOMPARE(edit->cursorPosition(), 4);
    }

    void byteLimit_data() {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pending");
        QTest::newRow("fits exactly") << 6 << "aiu" << U("アイウ") << "";
        QTest::newRow("kana past the limit") << 6 << "aiue" << U("アイウ") << "";
        QTest::newRow("two-kana syllable refused whole") << 5 << "aikya" << U("アイ") << "ky";
        QTest::newRow("pending keys take no room") << 2 << "ak" << U("ア") << "k";
        QTest::newRow("small tsu refused with its carry") << 3 << "akka" << U("ア") << "k";
        QTest::newRow("flush and sign refused together") << 5 << "aik-" << U("アイ") << "k";
        QTest::newRow("n fits on Enter") << 6 << "ain\r" << U("アイン") << "";
        QTest::newRow("n has no room on Enter") << 5 << "ain\r" << U("アイ") << "";
        QTest::newRow("letter fits on Enter") << 5 << "aik\r" << U("アイk") << "";
        QTest::newRow("letters refused together on Enter") << 5 << "aiky\r" << U("アイ") << "";
    }
    void byteLimit() {
        QFETCH(int, limit);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(QString, pending);
        m_host->edit->SetLimitText(limit);
        QTest::keyClicks(m_host->edit, keys);
        QCOMPARE(m_host->edit->text(), text);
        QCOMPARE(m_host->edit->PendingRomaji(), pending);
    }

    void aSelectionGivesItsRoomToWhatReplacesIt() {
        KanaLineEdit* edit = m_host->edit;
        edit->SetLimitText(6);
        QTest::keyClicks(edit, QStringLiteral("aiu"));
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("e"));
        QCOMPARE(edit->text(), U("エ"));
    }

    void realInputMethodTextIsUntouched() {
        KanaLineEdit* edit = m_host->edit;
        QTest::keyClicks(edit, QStringLiteral("k"));
        // The input method starts composing: our own pending keys go first, as typed.
        SendInputMethod(edit, U("かn"), {});
        QCOMPARE(edit->text(), QStringLiteral("k"));
        QCOMPARE(edit->PendingRomaji(), QString());
        // Keys that reach the field while it composes are not ours to turn.
        QTest::keyClicks(edit, QStringLiteral("a"));
        QCOMPARE(edit->PendingRomaji(), QString());
        QCOMPARE(edit->text(), QStringLiteral("ka"));
        SendInputMethod(edit, {}, QStringLiteral("nka"));
        QCOMPARE(edit->text(), QStringLiteral("kanka"));
        // Composition over, typed romaji turn again.
        QTest::keyClicks(edit, QStringLiteral("a"));
        QCOMPARE(edit->text(), U("kankaア"));
    }

    void inputMethodCommitWithoutCompositionIsUntouched() {
        KanaLineEdit* edit = m_host->edit;
        SendInputMethod(edit, {}, U("sango n"));
        QTest::keyClicks(edit, QStringLiteral("a"));
        QCOMPARE(edit->text(), U("sango nア"));
    }

    void pastedTextIsUntouched() {
        KanaLineEdit* edit = m_host->edit;
        QApplication::clipboard()->setText(QStringLiteral("konnichiha"));
        QTest::keyClicks(edit, QStringLiteral("an"));
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), U("アンkonnichiha"));
        edit->paste();
        QCOMPARE(edit->text(), U("アンkonnichihakonnichiha"));
    }

    void programTextIsUntouched() {
        KanaLineEdit* edit = m_host->edit;
        edit->setText(QStringLiteral("sango n"));
        QCOMPARE(edit->text(), QStringLiteral("sango n"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->text(), QStringLiteral("sango n"));
        // A composition survives the program's text and goes on at the caret.
        QTest::keyClicks(edit, QStringLiteral("k"));
        edit->setText(QStringLiteral("ka"));
        QCOMPARE(edit->text(), QStringLiteral("ka"));
        QTest::keyClicks(edit, QStringLiteral("o"));
        QCOMPARE(edit->text(), U("kaコ"));
    }

    void switchedOffTheKeysStayLatin() {
        KanaLineEdit* edit = m_host->edit;
        QVERIFY(edit->RomajiEnabled());
        QTest::keyClicks(edit, QStringLiteral("kan"));
        edit->SetRomajiEnabled(false);
        QCOMPARE(edit->text(), U("カン"));
        QTest::keyClicks(edit, QStringLiteral("ka"));
        QCOMPARE(edit->text(), U("カンka"));
        edit->SetRomajiEnabled(true);
        QTest::keyClicks(edit, QStringLiteral("ka"));
        QCOMPARE(edit->text(), U("カンkaカ"));
    }

private:
    std::unique_ptr<Host> m_host;
};

QTEST_MAIN(KanaLineEditTest)
#include "KanaLineEditTest.moc"
