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

    // Only a copy still current when its clearing comes due is cleared; with
    // nothing to copy, nothing changes.
    void clearsOnlyItsOwnCopy() {
        const struct {
            int seconds;
            const char* copy;
            const char* then; // copied after the secret; "other" by the clipboard
            int scheduled;
            const char* leftAfterAll;
        } rows[] = {{30, "pw-1", nullptr, 1, ""},
                    {30, "pw-1", "other", 1, "other"},
                    {5, "pw-1", "pw-1", 2, ""},
                    {0, "pw-1", nullptr, 0, "pw-1"},
                    {30, "", nullptr, 0, "before"}};
        for (const auto& row : rows) {
            std::vector<std::pair<int, std::function<void()>>> pending;
            SecretClipboard clipboard(
                [&](int ms, std::function<void()> done) { pending.emplace_back(ms, std::move(done)); },
                nullptr);
            clipboard.SetClearSeconds(row.seconds);
            QClipboard* system = QGuiApplication::clipboard();
            system->setText(QStringLiteral("before"));
            clipboard.Copy(QString::fromLatin1(row.copy));
            QCOMPARE(system->mimeData()->hasFormat(SecretClipboard::kHintFormat), *row.copy != 0);
            if (row.then == QStringLiteral("other")) {
                system->setText(QStringLiteral("other"));
            } else if (row.then != nullptr) {
                clipboard.Copy(QString::fromLatin1(row.then));
            }
            QCOMPARE(int(pending.size()), row.scheduled);
            for (const auto& [ms, done] : pending) {
                QCOMPARE(ms, row.seconds * 1000);
            }
            if (!pending.empty()) {
                pending.front().second();
                QCOMPARE(system->text().isEmpty(), row.then == nullptr);
            }
            for (const auto& [ms, done] : pending) {
                done();
            }
            QCOMPARE(system->text(), QString::fromLatin1(row.leftAfterAll));
        }
    }

    // What is selected in the field, by mouse or by keys, never reaches the
    // primary selection. Offscreen has none and skips; ctest runs this again on
    // an X server of its own.
    void selectionStaysOutOfThePrimarySelection() {
        QClipboard* system = QGuiApplication::clipboard();
        if (!system->supportsSelection()) {
            QSKIP("no primary selection on this platform");
        }
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
                for (QAction* action : menu->actions()) {
                    if (action->objectName() == QStringLiteral("edit-copy")) {
                        action->trigger();
                    }
                }
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
