// Secret copies: the hint that keeps them out of clipboard history, and the
// clearing, driven by a scheduler the test holds.
#include "platform/SecretClipboard.h"

#include "platform/SecretLineEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QtTest>

#include <functional>
#include <vector>

class SecretClipboardTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QGuiApplication::clipboard()->clear(); }

    // Only a copy still current when its clearing comes due is cleared: not
    // one copied again since, nor what another program copied. Nothing to copy
    // changes nothing; with no clearing time nothing is scheduled.
    void clearsOnlyItsOwnCopy() {
        std::vector<std::pair<int, std::function<void()>>> pending;
        SecretClipboard clipboard(
            [&](int ms, std::function<void()> done) { pending.emplace_back(ms, std::move(done)); }, nullptr);
        clipboard.SetClearSeconds(5);
        QClipboard* system = QGuiApplication::clipboard();
        system->setText(QStringLiteral("before"));
        clipboard.Copy(QString());
        QCOMPARE(system->text(), QStringLiteral("before"));
        clipboard.Copy(QStringLiteral("pw-1"));
        QCOMPARE(system->mimeData()->data(SecretClipboard::kHintFormat), QByteArray("secret"));
        clipboard.Copy(QStringLiteral("pw-1"));
        QCOMPARE(int(pending.size()), 2);
        QCOMPARE(pending[0].first, 5000);
        pending[0].second();
        QCOMPARE(system->text(), QStringLiteral("pw-1"));
        pending[1].second();
        QCOMPARE(system->text(), QString());
        clipboard.Copy(QStringLiteral("pw-2"));
        system->setText(QStringLiteral("pw-2")); // as another program copies it
        pending[2].second();
        QCOMPARE(system->text(), QStringLiteral("pw-2"));
        clipboard.SetClearSeconds(0);
        clipboard.Copy(QStringLiteral("pw-3"));
        QCOMPARE(int(pending.size()), 3);
    }

    // What is selected in the field, by mouse or by keys, never reaches the
    // primary selection. Offscreen has none and skips; ctest runs this again on
    // an X server of its own.
    void selectionStaysOutOfThePrimarySelection() {
        QClipboard* system = QGuiApplication::clipboard();
        if (!system->supportsSelection())
            QSKIP("no primary selection on this platform");
        SecretClipboard clipboard([](int, std::function<void()>) {}, nullptr);
        SecretLineEdit field(clipboard);
        field.setReadOnly(true);
        field.setText(QStringLiteral("39r39R"));
        field.show();
        QVERIFY(QTest::qWaitForWindowExposed(&field));
        system->setText(QStringLiteral("before"), QClipboard::Selection);
        field.setSelection(0, 3);
        QTest::mouseRelease(&field, Qt::LeftButton);
        QCOMPARE(system->text(QClipboard::Selection), QStringLiteral("before"));
        QTest::keyClick(&field, Qt::Key_Home);
        QTest::keyClick(&field, Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(field.selectedText(), QStringLiteral("39r39R"));
        QCOMPARE(system->text(QClipboard::Selection), QStringLiteral("before"));
    }

    // The field's copy key, its cut key (the field is read-only) and its
    // menu's copy entry all copy the selection as a secret.
    void fieldCopiesAsASecret() {
        for (const int way : {0, 1, 2}) { // the copy key, the cut key, the menu
            QGuiApplication::clipboard()->clear();
            SecretClipboard clipboard([](int, std::function<void()>) {}, nullptr);
            SecretLineEdit field(clipboard);
            field.setReadOnly(true);
            field.setText(QStringLiteral("39r39R"));
            field.setSelection(1, 3);
            if (way < 2) {
                QTest::keySequence(&field, way == 0 ? QKeySequence::Copy : QKeySequence::Cut);
            } else {
                QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                        field.mapToGlobal(QPoint(5, 5)));
                QApplication::sendEvent(&field, &event);
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                QVERIFY(menu != nullptr);
                for (QAction* action : menu->actions())
                    if (action->objectName() == QStringLiteral("edit-copy"))
                        action->trigger();
                menu->close();
            }
            const QMimeData* data = QGuiApplication::clipboard()->mimeData();
            QVERIFY(data != nullptr && data->hasFormat(SecretClipboard::kHintFormat));
            QCOMPARE(data->text(), QStringLiteral("9r3"));
        }
    }
};

QTEST_MAIN(SecretClipboardTest)
#include "SecretClipboardTest.moc"
