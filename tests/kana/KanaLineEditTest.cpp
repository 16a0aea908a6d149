// The katakana field's input as the user meets it: keys typed into a real
// edit, the composition shown, committed and dropped, the byte limit, and
// text that reaches the field by other ways.
#include "kana/KanaLineEdit.h"

#include "platform/QtText.h"
#include "support/GuiTestHelpers.h"
#include "support/Sjis.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A window around the field, with somewhere for the focus to go.
class Host : public QWidget {
public:
    Host() {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(edit);
        layout->addWidget(new QLineEdit);
    }
    KanaLineEdit* edit = new KanaLineEdit;
};

// Every character of the field's text is double-byte in code page 932.
bool AllDoubleByte(const QString& text) {
    const std::optional<std::string> bytes = FromQString(text);
    return bytes && ::AllDoubleByte(*bytes);
}

void Commit(QWidget* edit, const QString& commit, const QString& preedit = {}) {
    QInputMethodEvent event(preedit, {});
    event.setCommitString(commit);
    QApplication::sendEvent(edit, &event);
}

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

    // Keys: \r is Enter, \t Tab, \b Backspace, \x1b Escape. A limit of 0 means none.
    void typing_data() {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("typingLimit");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pending");
        QTest::newRow("Enter commits n as katakana") << 0 << 0 << "kon\r" << U("コン") << "";
        QTest::newRow("Tab commits letters full-width") << 0 << 0 << "kk\t" << U("ッｋ") << "";
        QTest::newRow("Backspace: pending letters first") << 0 << 0 << "aky\b\b\bi" << U("イ") << "";
        QTest::newRow("Escape drops a lone n") << 0 << 0 << "kon\x1b\r" << U("コ") << "";
        QTest::newRow("limit: kana past it") << 6 << 0 << "aiue" << U("アイウ") << "";
        QTest::newRow("limit: syllable refused whole") << 5 << 0 << "aikya" << U("アイ") << "ky";
        QTest::newRow("limit: small tsu refused with its carry") << 3 << 0 << "akka" << U("ア") << "k";
        QTest::newRow("limit: flush and sign refused together") << 5 << 0 << "aik-" << U("アイ") << "k";
        QTest::newRow("limit: flush and digit refused together") << 5 << 0 << "aik1" << U("アイ") << "k";
        QTest::newRow("limit: digit refused at one byte left") << 5 << 0 << "ai1" << U("アイ") << "";
        QTest::newRow("limit: letters refused together on Enter") << 5 << 0 << "aiky\r" << U("アイ") << "";
        QTest::newRow("typing limit alone") << 0 << 6 << "kyatto" << U("キャッ") << "t";
        QTest::newRow("typing limit under the edit's") << 10 << 4 << "aiu" << U("アイ") << "";
        QTest::newRow("edit's limit under the typing limit") << 4 << 10 << "aiu" << U("アイ") << "";
    }
    void typing() {
        QFETCH(int, limit);
        QFETCH(int, typingLimit);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QFETCH(QString, pending);
        m_edit->SetLimitText(limit);
        m_edit->SetTypingLimit(typingLimit);
        QTest::keyClicks(m_edit, keys);
        QCOMPARE(m_edit->text(), text);
        QCOMPARE(m_edit->PendingRomaji(), pending);
        QVERIFY(AllDoubleByte(m_edit->text()));
    }

    void pendingRomajiShowsAtTheCaretOutsideTheText() {
        const QImage empty = m_edit->grab().toImage();
        QTest::keyClicks(m_edit, QStringLiteral("ky"));
        QCOMPARE(m_edit->text(), QString());
        QVERIFY(m_edit->grab().toImage() != empty);
        QTest::keyClicks(m_edit, QStringLiteral("\b\b"));
        QCOMPARE(m_edit->grab().toImage(), empty);
    }

    void aClickCommitsThePendingLetters() {
        QTest::keyClicks(m_edit, QStringLiteral("kon"));
        QTest::mouseClick(m_edit, Qt::LeftButton, {}, QPoint(1, m_edit->height() / 2));
        QCOMPARE(m_edit->text(), U("コン"));
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

    // Text from an input method's commit (c) or a paste (p) is cut to the edit's room; a key
    // that carries its own character (k: a kana layout, a keyboard's own input
    // method) is held to the typing limit, a sound mark joining the kana before it.
    void textInKatakanaMode_data() {
        QTest::addColumn<char>("how");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("text");
        QTest::newRow("commit") << 'c' << 0 << U("さくら") << U("サクラ");
        QTest::newRow("commit without a code page 932 form") << 'c' << 0 << U("サ한") << QString();
        QTest::newRow("commit never half a character") << 'c' << 5 << U("さくら") << U("サク");
        QTest::newRow("paste cut after its full-width forms") << 'p' << 4 << U("ｱｱｱ") << U("アア");
        QTest::newRow("paste without a code page 932 form") << 'p' << 0 << U("ク한") << QString();
        QTest::newRow("kana layout voiced") << 'k' << 0 << U("ｶﾞｷﾞﾊﾟ") << U("ガギパ");
        QTest::newRow("mark joins even at the limit") << 'k' << 4 << U("ｻｶﾞ") << U("サガ");
        QTest::newRow("key past the typing limit") << 'k' << 4 << U("さくら") << U("サク");
        QTest::newRow("key without a code page 932 form") << 'k' << 0 << U("サ€ク") << U("サク");
    }
    void textInKatakanaMode() {
        QFETCH(char, how);
        QFETCH(int, limit);
        QFETCH(QString, input);
        if (how == 'c') {
            m_edit->SetLimitText(limit);
            Commit(m_edit, input);
        } else if (how == 'p') {
            m_edit->SetLimitText(limit);
            QApplication::clipboard()->setText(input);
            QTest::keyClick(m_edit, Qt::Key_V, Qt::ControlModifier);
        } else {
            m_edit->SetTypingLimit(limit);
            TypeText(m_edit, input);
        }
        QTEST(m_edit->text(), "text");
        QVERIFY(AllDoubleByte(m_edit->text()));
    }

    // A read-only field takes no keys, paste or drop.
    void readOnlyTakesNothing() {
        m_edit->setText(U("ア"));
        m_edit->setReadOnly(true);
        QTest::keyClicks(m_edit, QStringLiteral("ka"));
        QApplication::clipboard()->setText(U("イ"));
        QTest::keyClick(m_edit, Qt::Key_V, Qt::ControlModifier);
        QMimeData data;
        data.setText(U("ウ"));
        QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(m_edit, &drop);
        QCOMPARE(m_edit->text(), U("ア"));
        QCOMPARE(m_edit->PendingRomaji(), QString());
    }

    void aKeyWithAltStillTypesFullWidth() {
        QTest::keyClick(m_edit, Qt::Key_1, Qt::AltModifier);
        QCOMPARE(m_edit->text(), U("１"));
        // Control with a letter is a shortcut, never text.
        QTest::keyClick(m_edit, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(m_edit->selectedText(), U("１"));
    }

    void realInputMethodComposesUntouchedUntilItCommits() {
        QTest::keyClicks(m_edit, QStringLiteral("k"));
        // The input method starts composing: our own pending keys go first.
        Commit(m_edit, QString(), U("かn"));
        QCOMPARE(m_edit->text(), U("ｋ"));
        QCOMPARE(m_edit->PendingRomaji(), QString());
        // Its composition ends in a commit, which is put in katakana mode.
        Commit(m_edit, U("かんじ"));
        QCOMPARE(m_edit->text(), U("ｋカンジ"));
        // Composition over, typed romaji turn again.
        QTest::keyClicks(m_edit, QStringLiteral("an\r"));
        QCOMPARE(m_edit->text(), U("ｋカンジアン"));
    }

    // A paste and a drop go in katakana mode, pending letters committed first
    // and not held to the typing limit; the program's text stays as it is.
    void pastedAndDroppedTextInKatakanaModeProgramTextAsItIs() {
        m_edit->SetTypingLimit(6);
        QApplication::clipboard()->setText(U("1ｻｸﾗ ka"));
        QTest::keyClicks(m_edit, QStringLiteral("an"));
        QTest::keyClick(m_edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(m_edit->text(), U("アン１サクラ　ｋａ"));
        // The context menu's paste too.
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(1, 1),
                                    m_edit->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(m_edit, &menuEvent);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction* action : menu->actions()) {
            if (action->text().startsWith(QCoreApplication::translate("QLineEdit", "&Paste"))) {
                action->trigger();
            }
        }
        menu->close();
        QCOMPARE(m_edit->text(), U("アン１サクラ　ｋａ１サクラ　ｋａ"));
        m_edit->SetTypingLimit(0);
        QTest::keyClicks(m_edit, QStringLiteral("k")); // pending letters go in before the drop
        QMimeData data;
        data.setText(U("ｶﾞ "));
        const QPoint start(1, m_edit->height() / 2);
        QDragEnterEvent enter(start, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(m_edit, &enter);
        QDropEvent drop(start, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(m_edit, &drop);
        QCOMPARE(m_edit->text(), U("ガ　ｋアン１サクラ　ｋａ１サクラ　ｋａ"));
        QVERIFY(AllDoubleByte(m_edit->text()));
        m_edit->SetTypingLimit(6);
        m_edit->setText(U("sango nアイウエ"));
        QTest::keyClicks(m_edit, QStringLiteral("o"));
        QCOMPARE(m_edit->text(), U("sango nアイウエ"));
    }

private:
    std::unique_ptr<Host> m_host;
    KanaLineEdit* m_edit = nullptr;
};

QTEST_MAIN(KanaLineEditTest)
#include "KanaLineEditTest.moc"
