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
#include <QTimer>
#include <QtTest>

#include <functional>
#include <vector>

class SecretClipboardTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QGuiApplication::clipboard()->clear(); }

    // Only a copy still current when its clearing comes due is cleared.
    void clearsOnlyItsOwnCopy() {
        const struct {
            int seconds;
            const char* then; // copied after the secret; "pw-1" again by the clipboard
            int scheduled;
            const char* leftAfterAll;
        } rows[] = {{30, nullptr, 1, ""},
                    {30, "other", 1, "other"},
                    {30, "pw-2", 2, ""},
                    {5, "pw-1", 2, ""},
                    {0, nullptr, 0, "pw-1"}};
        for (const auto& row : rows) {
            std::vector<std::pair<int, std::function<void()>>> pending;
            SecretClipboard clipboard(
                [&](int ms, std::function<void()> done) { pending.emplace_back(ms, std::move(done)); },
                nullptr);
            clipboard.SetClearSeconds(row.seconds);
            clipboard.Copy(QStringLiteral("pw-1"));
            QClipboard* system = QGuiApplication::clipboard();
            QCOMPARE(system->text(), QStringLiteral("pw-1"));
            QCOMPARE(system->mimeData()->data(SecretClipboard::kHintFormat), QByteArray("secret"));
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

    void nothingToCopyChangesNothing() {
        int scheduled = 0;
        SecretClipboard clipboard([&](int, std::function<void()>) { ++scheduled; }, nullptr);
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        clipboard.Copy(QString());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        QCOMPARE(scheduled, 0);
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

    // The field's copy key and its menu's copy entry both copy as a secret.
    void fieldCopiesAsASecret() {
        for (const auto& [fromMenu, selected] : {std::pair{false, true}, {false, false}, {true, true}}) {
            QGuiApplication::clipboard()->clear();
            SecretClipboard clipboard([](int, std::function<void()>) {}, nullptr);
            SecretLineEdit field(clipboard);
            field.setReadOnly(true);
            field.setText(QStringLiteral("39r39R"));
            if (selected) {
                field.setSelection(1, 3);
            }
            if (fromMenu) {
                QMenu* menu = nullptr;
                QTimer::singleShot(0, this, [&] {
                    menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                    QVERIFY(menu != nullptr);
                    for (QAction* action : menu->actions()) {
                        if (action->objectName() == QStringLiteral("edit-copy")) {
                            action->trigger();
                        }
                    }
                    menu->close();
                });
                QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                        field.mapToGlobal(QPoint(5, 5)));
                QApplication::sendEvent(&field, &event);
                QTRY_VERIFY(menu != nullptr);
            } else {
                QTest::keySequence(&field, QKeySequence::Copy);
            }
            const QMimeData* data = QGuiApplication::clipboard()->mimeData();
            QCOMPARE(data != nullptr ? data->text() : QString(),
                     selected ? QStringLiteral("9r3") : QString());
            QCOMPARE(data != nullptr && data->hasFormat(SecretClipboard::kHintFormat), selected);
        }
    }
};

QTEST_MAIN(SecretClipboardTest)
#include "SecretClipboardTest.moc"
