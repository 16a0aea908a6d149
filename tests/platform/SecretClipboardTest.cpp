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

namespace {

enum class Then { Nothing, OtherCopy, SecretCopyAgain, OtherSecret };

} // namespace

class SecretClipboardTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QGuiApplication::clipboard()->clear(); }

    void clearsOnlyItsOwnCopy_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("then");
        QTest::addColumn<int>("scheduled");
        QTest::addColumn<QString>("leftAfterAll");
        QTest::newRow("left alone: cleared") << 30 << int(Then::Nothing) << 1 << "";
        QTest::newRow("the user copied something else: kept") << 30 << int(Then::OtherCopy) << 1 << "other";
        QTest::newRow("another secret copied meanwhile: kept") << 30 << int(Then::OtherSecret) << 2 << "";
        QTest::newRow("copied again: the later clearing counts")
            << 5 << int(Then::SecretCopyAgain) << 2 << "";
        QTest::newRow("switched off") << 0 << int(Then::Nothing) << 0 << "pw-1";
    }
    void clearsOnlyItsOwnCopy() {
        QFETCH(int, seconds);
        QFETCH(int, then);
        std::vector<std::pair<int, std::function<void()>>> pending;
        SecretClipboard clipboard(
            [&](int ms, std::function<void()> done) { pending.emplace_back(ms, std::move(done)); }, nullptr);
        clipboard.SetClearSeconds(seconds);
        clipboard.Copy(QStringLiteral("pw-1"));
        QClipboard* system = QGuiApplication::clipboard();
        QCOMPARE(system->text(), QStringLiteral("pw-1"));
        QCOMPARE(system->mimeData()->data(SecretClipboard::kHintFormat), QByteArray("secret"));
        switch (Then(then)) {
        case Then::Nothing:
            break;
        case Then::OtherCopy:
            system->setText(QStringLiteral("other"));
            break;
        case Then::SecretCopyAgain:
            clipboard.Copy(QStringLiteral("pw-1"));
            break;
        case Then::OtherSecret:
            clipboard.Copy(QStringLiteral("pw-2"));
            break;
        }
        QTEST(int(pending.size()), "scheduled");
        for (const auto& [ms, done] : pending) {
            QCOMPARE(ms, seconds * 1000);
        }
        if (!pending.empty()) {
            // The first clearing comes due: only a copy still current is cleared.
            pending.front().second();
            const bool stillCurrent = Then(then) == Then::Nothing;
            QCOMPARE(system->text().isEmpty(), stillCurrent);
        }
        for (const auto& [ms, done] : pending) {
            done();
        }
        QTEST(system->text(), "leftAfterAll");
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
    void fieldCopiesAsASecret_data() {
        QTest::addColumn<bool>("fromMenu");
        QTest::addColumn<bool>("selected");
        QTest::newRow("copy key, selection") << false << true;
        QTest::newRow("copy key, nothing selected") << false << false;
        QTest::newRow("menu entry, selection") << true << true;
    }
    void fieldCopiesAsASecret() {
        QFETCH(bool, fromMenu);
        QFETCH(bool, selected);
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
        QCOMPARE(data != nullptr ? data->text() : QString(), selected ? QStringLiteral("9r3") : QString());
        QCOMPARE(data != nullptr && data->hasFormat(SecretClipboard::kHintFormat), selected);
    }
};

QTEST_MAIN(SecretClipboardTest)
#include "SecretClipboardTest.moc"
