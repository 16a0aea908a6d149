// The katakana field's input as the user meets it: keys typed into a real
// edit, the composition shown, committed and dropped, the byte limit, and
// text that reaches the field by other ways.
#include "kana/KanaLineEdit.h"

#include "platform/QtText.h"
#include "support/GuiTestHelpers.h"
#include "support/Sjis.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QVBoxLayout>

class KanaLineEditTest : public QObject {
    Q_OBJECT
private slots:
    void init() { Fresh(); }
    void cleanup() {
        m_host.reset();
        QCOMPARE(VisibleTopLevelWindows(), 0);
    }

    // Each way in, one row a path, in steps: k: romaji keys (\r is Enter, \t
    // Tab, \b Backspace, \x1b Escape), t: a key that carries its own character
    // (a kana layout, a keyboard's own input method), s: all selected, p: an
    // input method's composition (empty: withdrawn), c: its commit, w: the
    // events waiting handled, f: a click in the next field, v: a paste, m: the
    // menu's paste, d: a drop at the start, click at the start, x: a field that
    // refuses spaces, r: a read-only one. Typing is held to the lower of the
    // two limits (0: none); a commit or a paste is cut to the edit's room.
    void eachWayInKeepsTheLimitAndKatakanaMode_data() {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("typingLimit");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pending");
        // clang-format off
        QTest::newRow("Enter commits n as katakana") << 0 << 0 << "k:kon\r" << "コン" << "";
        QTest::newRow("Tab (the focus leaving) commits letters full-width") << 0 << 0 << "k:kk\t" << "ッｋ" << "";
        QTest::newRow("Backspace: pending letters first") << 0 << 0 << "k:aky\b\b\bi" << "イ" << "";
        QTest::newRow("Escape drops a lone n") << 0 << 0 << "k:kon\x1b\r" << "コ" << "";
        QTest::newRow("kana up to the limit") << 6 << 0 << "k:aiue" << "アイウ" << "";
        QTest::newRow("syllable refused whole") << 5 << 0 << "k:aikya" << "アイ" << "ky";
        QTest::newRow("letters refused together on Enter") << 5 << 0 << "k:aiky\r" << "アイ" << "";
        QTest::newRow("typing limit under the edit's, also on Enter") << 10 << 6 << "k:kyatto\r" << "キャッ" << "";
        QTest::newRow("kana layout voiced") << 0 << 0 << "t:ｶﾞｷﾞﾊﾟ" << "ガギパ" << "";
        QTest::newRow("a mark replaces a selection, joining nothing") << 0 << 0 << "t:ｶ|s|t:ﾞ" << "゛" << "";
        QTest::newRow("key past the typing limit") << 0 << 4 << "t:さくら" << "サク" << "";
        QTest::newRow("commit never half a character") << 5 << 0 << "c:さくら" << "サク" << "";
        QTest::newRow("paste cut after its full-width forms") << 4 << 0 << "v:ｱｱｱ" << "アア" << "";
        QTest::newRow("a selection gives its room to what replaces it") << 10 << 0 << "v:アキャンイ|s|k:e" << "エ" << "";
        QTest::newRow("the caret follows a replacement inside the text") << 0 << 0 << "v:イ|click|v:ア|k:kyan\r|k:e" << "アキャンエイ" << "";
        QTest::newRow("a click commits the pending letters, the caret where it clicks") << 0 << 0 << "k:kon|click|k:a\r" << "アコン" << "";
        QTest::newRow("an input method composes after the pending letters, untouched until it commits") << 0 << 0 << "k:k|p:かn|c:かんじ|k:an\r" << "ｋカンジアン" << "";
        QTest::newRow("the commit of a composition a click ended comes once") << 0 << 0 << "c:さくら|p:はな|click|c:はな|c:はな" << "ハナサクラ" << "";
        QTest::newRow("no paste beside a composition") << 0 << 0 << "p:はな|v:さくら|c:はな" << "ハナ" << "";
        QTest::newRow("a new composition may give the same text") << 0 << 0 << "p:は|click|c:は|p:は|c:は" << "ハハ" << "";
        // Qt's input context commits a withdrawn composition again as the focus moves.
        QTest::newRow("a withdrawn composition committed on its own") << 0 << 0 << "p:Sakura|w|p:|w|c:Sakura|w|f|w" << "Ｓａｋｕｒａ" << "";
        QTest::newRow("a withdrawn composition sent as the focus moves") << 0 << 0 << "p:さくら|w|p:|w|c:さくら|f|w" << "" << "";
        QTest::newRow("that commit before a real one") << 0 << 0 << "p:さくら|w|p:|w|c:さくら|c:イ|w|f|w" << "サクライ" << "";
        QTest::newRow("a key field takes no space typed, committed or pasted") << 0 << 0 << "x|k:a b|c:　|v:ア　|c:イ" << "アｂイ" << "";
        QTest::newRow("the menu's paste and a drop, pending letters committed first") << 0 << 0 << "m:1ｻｸﾗ ka|k:k|d:ｶﾞ " << "ガ　ｋ１サクラ　ｋａ" << "";
        QTest::newRow("a read-only field takes no keys, nor through them a paste") << 0 << 0 << "r|k:ka|v:ア" << "" << "";
        // clang-format on
    }
    void eachWayInKeepsTheLimitAndKatakanaMode() {
        QFETCH(int, limit);
        QFETCH(int, typingLimit);
        QFETCH(QString, input);
        QFETCH(QString, text);
        QFETCH(QString, pending);
        m_edit->SetLimitText(limit);
        m_edit->SetTypingLimit(typingLimit);
        Steps(input);
        QCOMPARE(m_edit->text(), text);
        QCOMPARE(m_edit->PendingRomaji(), pending);
        QVERIFY(AllDoubleByte(FromQString(m_edit->text()).value_or("a")));
    }

    void pendingRomajiShowsAtTheCaretOutsideTheText() {
        const QImage empty = m_edit->grab().toImage();
        QTest::keyClicks(m_edit, QStringLiteral("ky"));
        QCOMPARE(m_edit->text(), QString());
        QVERIFY(m_edit->grab().toImage() != empty);
        QTest::keyClicks(m_edit, QStringLiteral("\b\b"));
        QCOMPARE(m_edit->grab().toImage(), empty);
    }

private:
    void Steps(const QString& steps) {
        for (const QString& step : steps.split('|')) {
            const QString arg = step.mid(2);
            const QPoint start(1, m_edit->height() / 2);
            if (step == "click") {
                QTest::mouseClick(m_edit, Qt::LeftButton, {}, start);
            } else if (step == "s") {
                m_edit->selectAll();
            } else if (step == "w") {
                QCoreApplication::processEvents();
            } else if (step == "f") {
                QTest::mouseClick(m_next, Qt::LeftButton);
            } else if (step.startsWith("t:")) {
                TypeText(m_edit, arg);
            } else if (step == "x") {
                m_edit->SetRefusesSpace(true);
            } else if (step == "r") {
                m_edit->setReadOnly(true);
            } else if (step.startsWith("k:")) {
                QTest::keyClicks(m_edit, arg);
            } else if (step.startsWith("m:")) {
                QApplication::clipboard()->setText(arg);
                TriggerMenuEntries(m_edit, [](const QAction* action) {
                    return action->text().startsWith(QCoreApplication::translate("QLineEdit", "&Paste"));
                });
            } else if (step.startsWith("d:")) {
                QMimeData data;
                data.setText(arg);
                QDragEnterEvent enter(start, Qt::CopyAction, &data, Qt::LeftButton, {});
                QApplication::sendEvent(m_edit, &enter);
                QDropEvent drop(start, Qt::CopyAction, &data, Qt::LeftButton, {});
                QApplication::sendEvent(m_edit, &drop);
            } else if (step.startsWith("v:")) {
                QApplication::clipboard()->setText(arg);
                QTest::keyClick(m_edit, Qt::Key_V, Qt::ControlModifier);
            } else { // an input method's composition or commit
                QInputMethodEvent event(step.startsWith("p:") ? arg : QString(), {});
                event.setCommitString(step.startsWith("c:") ? arg : QString());
                QApplication::sendEvent(m_edit, &event);
            }
        }
    }

    // A new field in a window, with somewhere for the focus to go; shown and focused.
    void Fresh() {
        m_host = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(m_host.get());
        layout->addWidget(m_edit = new KanaLineEdit);
        layout->addWidget(m_next = new QLineEdit);
        m_host->show();
        QVERIFY(QTest::qWaitForWindowActive(m_host.get()));
        m_edit->setFocus();
        QTRY_VERIFY(m_edit->hasFocus());
    }

    std::unique_ptr<QWidget> m_host;
    KanaLineEdit* m_edit = nullptr;
    QLineEdit* m_next = nullptr;
};

QTEST_MAIN(KanaLineEditTest)
#include "KanaLineEditTest.moc"
