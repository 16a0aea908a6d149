// The dialogs' shared widgets: the layout from dialog units, the etched
// frame and the code page 932 edit (keys and tab order: the dialogs' tests);
// secret copies: the hint that keeps them out of clipboard history, and the
// clearing, driven by a scheduler the test holds.
#include "kana/KanaLineEdit.h"
#include "platform/DialogLayout.h"

#include "platform/LimitedLineEdit.h"
#include "platform/PaintArea.h"
#include "platform/SecretClipboard.h"
#include "platform/SecretLineEdit.h"
#include "support/GuiTestHelpers.h"

#include <QClipboard>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace {

// An edit, a password edit; a button and a disabled one; a group's frame.
constexpr std::array<dlg::Control, 5> kControls{{
    {100, dlg::Kind::Edit, "", 10, 10, 80, 14, dlg::TabStop | dlg::Border},
    {101, dlg::Kind::Edit, "", 10, 80, 80, 14, dlg::TabStop | dlg::Border | dlg::Password},
    {200, dlg::Kind::PushButton, "一", 100, 10, 40, 14, dlg::TabStop},
    {201, dlg::Kind::PushButton, "二", 100, 30, 40, 14, dlg::TabStop | dlg::Disabled},
    {dlg::kStaticId, dlg::Kind::GroupBox, "三", 5, 60, 150, 35, dlg::None},
}};

constexpr dlg::Template kTemplate{"試験", 160, 100, "ＭＳ Ｐゴシック", 9, kControls};

} // namespace

class PlatformGuiTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        QGuiApplication::clipboard()->clear();
        QCOMPARE(VisibleTopLevelWindows(), 0);
    }

    // Dialog units follow the font: controls that meet in the template meet on
    // screen, equal sizes stay equal, and a larger font makes everything larger.
    // Every control writes in the template's font.
    void layoutFollowsTheTemplateAndTheFont() {
        QDialog dialog;
        const dlg::Layout layout(dialog, kTemplate);
        for (const QWidget* control : dialog.findChildren<QWidget*>()) {
            QCOMPARE(control->font(), dialog.font());
        }
        const QRect first = layout.Widget(100)->geometry();
        const QRect second = layout.Widget(101)->geometry();
        const QRect button = layout.Widget(200)->geometry();
        QCOMPARE(second.size(), first.size());
        QCOMPARE(second.left(), first.left());
        QVERIFY(second.top() > first.bottom());
        QCOMPARE(button.top(), first.top());
        QVERIFY(button.left() > first.right()); // 10 + 80 units end before 100
        QCOMPARE(layout.Get<QLineEdit>(100)->echoMode(), QLineEdit::Normal);
        QCOMPARE(layout.Get<QLineEdit>(101)->echoMode(), QLineEdit::Password);
        QVERIFY(layout.Widget(200)->isEnabled() && !layout.Widget(201)->isEnabled());

        constexpr dlg::Template kLarge{"試験", 160, 100, "ＭＳ Ｐゴシック", 18, kControls};
        QDialog large;
        const dlg::Layout largeLayout(large, kLarge);
        QVERIFY(large.width() > dialog.width() * 3 / 2 && large.height() > dialog.height() * 3 / 2);
        QVERIFY(largeLayout.Widget(101)->width() > first.width() * 3 / 2);
    }

    // The etched edge: the outer line shadow on the top and left and highlight
    // on the bottom and right, the inner line the other way round.
    void etchedFrameDrawsTwoLinesOfEachSide() {
        QImage image(8, 6, QImage::Format_RGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        PaintArea::DrawEtchedFrame(painter, image.rect());
        painter.end();
        const QRgb shadow = PaintArea::Shadow3D().rgb(), light = PaintArea::Highlight3D().rgb();
        const int r = 7, b = 5;
        for (int y = 0; y <= b; ++y) {
            for (int x = 0; x <= r; ++x) {
                const int ring = std::min({x, y, r - x, b - y});
                const bool lowerRight = x >= r - ring || y >= b - ring;
                const QRgb expected = ring > 1 ? qRgb(0, 0, 0) : (ring == 0) == lowerRight ? light : shadow;
                QVERIFY2(image.pixel(x, y) == expected, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
        }
    }

    void editsRefuseWhatCodePage932CannotHoldAndNeverSplitAtTheLimit() {
        LimitedLineEdit edit;
        edit.SetLimitText(5);
        TypeText(&edit, QString::fromUtf8("ア€b한"));
        QApplication::clipboard()->setText(QString::fromUtf8("x€"));
        edit.paste();
        QCOMPARE(edit.text(), QString::fromUtf8("アb"));
        QApplication::clipboard()->setText(QString::fromUtf8("イウ"));
        edit.paste(); // 3 + 2 bytes fit; ウ would make 7
        QTest::keyClicks(&edit, QStringLiteral("z"));
        QCOMPARE(edit.text(), QString::fromUtf8("アbイ"));
    }

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
        // Going (the window closing) takes its copy along, so no clipboard manager keeps it at exit.
        {
            SecretClipboard leaving([](int, std::function<void()>) {}, nullptr);
            leaving.Copy(QStringLiteral("pw-4"));
        }
        QCOMPARE(system->text(), QString());
    }

    // What is selected in the password field or the katakana field, by mouse
    // or by keys, never reaches the primary selection (offscreen has none;
    // ctest runs this again on an X server of its own). The password field's
    // copy key, its cut key (the field is read-only) and its menu's copy
    // entry copy the selection as a secret.
    void selectionStaysOutOfThePrimarySelection_data() {
        QTest::addColumn<bool>("katakana");
        QTest::addColumn<QKeySequence::StandardKey>("key"); // none: the menu
        QTest::newRow("password, copy key") << false << QKeySequence::Copy;
        QTest::newRow("password, cut key") << false << QKeySequence::Cut;
        QTest::newRow("password, menu") << false << QKeySequence::UnknownKey;
        QTest::newRow("katakana") << true << QKeySequence::Copy;
    }
    void selectionStaysOutOfThePrimarySelection() {
        QFETCH(bool, katakana);
        QFETCH(QKeySequence::StandardKey, key);
        QClipboard* system = QGuiApplication::clipboard();
        const bool primary = system->supportsSelection();
        if (katakana && !primary) {
            QSKIP("no primary selection on this platform");
        }
        SecretClipboard clipboard([](int, std::function<void()>) {}, nullptr);
        std::unique_ptr<QLineEdit> field;
        if (katakana) {
            field = std::make_unique<KanaLineEdit>();
        } else {
            field = std::make_unique<SecretLineEdit>(clipboard);
            field->setReadOnly(true);
        }
        field->setText(QStringLiteral("39r39R"));
        field->show();
        QVERIFY(QTest::qWaitForWindowExposed(field.get()));
        system->setText(QStringLiteral("before"), QClipboard::Selection);
        field->setSelection(0, 3);
        QTest::mouseRelease(field.get(), Qt::LeftButton);
        QVERIFY(!primary || system->text(QClipboard::Selection) == QStringLiteral("before"));
        QTest::keyClick(field.get(), Qt::Key_Home);
        QTest::keyClick(field.get(), Qt::Key_End, Qt::ShiftModifier);
        QCOMPARE(field->selectedText(), QStringLiteral("39r39R"));
        QVERIFY(!primary || system->text(QClipboard::Selection) == QStringLiteral("before"));
        field->setSelection(1, 3);
        if (key != QKeySequence::UnknownKey) {
            QTest::keySequence(field.get(), key);
        } else {
            TriggerMenuEntries(field.get(), [](const QAction* action) {
                return action->objectName() == QStringLiteral("edit-copy");
            });
        }
        // Keys the field takes with its text shown may drop what was there, never show it.
        QVERIFY(!primary || system->text(QClipboard::Selection) != field->selectedText());
        const QMimeData* data = system->mimeData();
        QVERIFY(katakana || (data != nullptr && data->hasFormat(SecretClipboard::kHintFormat)));
        QVERIFY(katakana || data->text() == QStringLiteral("9r3"));
    }
};

QTEST_MAIN(PlatformGuiTest)
#include "PlatformGuiTest.moc"
