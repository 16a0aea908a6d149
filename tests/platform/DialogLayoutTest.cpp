// The dialogs' shared widgets: the layout from dialog units, the etched
// frame and the code page 932 edit. (Keys and tab order: the dialogs' tests.)
#include "platform/DialogLayout.h"

#include "platform/LimitedLineEdit.h"
#include "platform/PaintArea.h"
#include "support/GuiTestHelpers.h"

#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QDialog>
#include <QPainter>
#include <QtTest>

#include <algorithm>
#include <array>

namespace {

// An edit, a password edit; a button and a disabled one.
constexpr std::array<dlg::Control, 4> kControls{{
    {100, dlg::Kind::Edit, "", 10, 10, 80, 14, dlg::TabStop | dlg::Border},
    {101, dlg::Kind::Edit, "", 10, 80, 80, 14, dlg::TabStop | dlg::Border | dlg::Password},
    {200, dlg::Kind::PushButton, "一", 100, 10, 40, 14, dlg::TabStop},
    {201, dlg::Kind::PushButton, "二", 100, 30, 40, 14, dlg::TabStop | dlg::Disabled},
}};

constexpr dlg::Template kTemplate{"試験", 160, 100, "ＭＳ Ｐゴシック", 9, kControls};

} // namespace

class DialogLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QCOMPARE(VisibleTopLevelWindows(), 0); }

    // Dialog units follow the font: controls that meet in the template meet on
    // screen, equal sizes stay equal, and a larger font makes everything larger.
    void layoutFollowsTheTemplateAndTheFont() {
        QDialog dialog;
        const dlg::Layout layout(dialog, kTemplate);
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
};

QTEST_MAIN(DialogLayoutTest)
#include "DialogLayoutTest.moc"
