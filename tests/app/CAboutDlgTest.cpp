// The about box: the frames it draws and shows, the animation carried over
// from one opening to the next, and its timer ending with it.
#include "app/CAboutDlg.h"

#include "app/AboutAnimation.h"
#include "platform/CrtRandom.h"
#include "support/GuiTestHelpers.h"

#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

using A = AboutAnimation;

// Whether most of an image is in one colour: the background behind the characters.
bool MostlyIn(const QImage& image, const AboutAnimation::Colour& c) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixelColor(x, y) == QColor(c.red, c.green, c.blue);
        }
    }
    return count * 2 > image.width() * image.height();
}

} // namespace

class CAboutDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        // Every test starts as the first opening of a fresh process.
        ProcessAboutAnimation() = AboutAnimation();
        ProcessRandom().srand(1);
    }
    void cleanup() { QCOMPARE(VisibleTopLevelWindows(), 0); }

    void framesCarryOnIntoASecondOpening() {
        // What every tick must be if nothing is reset between the openings.
        AboutAnimation model;
        CrtRandom random;
        random.srand(1);
        {
            CAboutDlg dialog;
            dialog.Create();
            dialog.show();
            dialog.OnTimer(CAboutDlg::kAnimationTimer);
            const QImage frame = dialog.LastFrame();
            const AboutAnimation::Colour fill = model.Tick(random).fill;
            QVERIFY(std::min({fill.red, fill.green, fill.blue}) >= 247 && MostlyIn(frame, fill));
            // Held cells are solid blocks in the text colour, black at the start of the walk.
            const A::Grid mask = A::BuildMask();
            for (int i = 0; i < A::kCells; ++i) {
                if (mask[static_cast<std::size_t>(i)] == A::kHold) {
                    const auto at =
                        A::CellOrigin(i % A::kColumns, i / A::kColumns, frame.width(), frame.height());
                    QCOMPARE(frame.pixelColor(at.x + 2, at.y + 3), QColor(Qt::black));
                }
            }
            QCOMPARE(dialog.grab(dialog.AnimationRect()).toImage().convertToFormat(QImage::Format_RGB32),
                     frame);
            for (int tick = 1; tick < 37; ++tick) {
                dialog.OnTimer(CAboutDlg::kAnimationTimer);
                model.Tick(random);
            }
            QTest::mouseClick(dialog.Item<QPushButton>(IDOK), Qt::LeftButton);
        }
        CAboutDlg second;
        second.Create();
        second.show();
        for (int tick = 0; tick < 6; ++tick) {
            const AboutAnimation::Colour fill = model.Tick(random).fill;
            second.OnTimer(CAboutDlg::kAnimationTimer);
            QVERIFY(MostlyIn(second.LastFrame(), fill));
        }
        // The cycle wrapped at 41.
        QCOMPARE(ProcessAboutAnimation().FrameCounter(), 2);
        QCOMPARE(ProcessRandom().State(), random.State());
        second.EndDialog(IDOK);
    }

    void noTimerIsLeftAfterOkOrEscape_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("OK") << false;
        QTest::newRow("Escape") << true;
    }
    void noTimerIsLeftAfterOkOrEscape() {
        QFETCH(bool, escape);
        CAboutDlg dialog;
        bool runningWhileOpen = false;
        // Inside the modal loop: a few frames by hand, then close as the user would.
        QTimer::singleShot(0, &dialog, [&] {
            runningWhileOpen = dialog.IsTimerRunning(CAboutDlg::kAnimationTimer);
            for (int tick = 0; tick < 3; ++tick) {
                dialog.OnTimer(CAboutDlg::kAnimationTimer);
            }
            escape ? QTest::keyClick(&dialog, Qt::Key_Escape)
                   : QTest::mouseClick(dialog.Item<QPushButton>(IDOK), Qt::LeftButton);
        });
        QCOMPARE(dialog.DoModal(), int(escape ? IDCANCEL : IDOK));
        QVERIFY(runningWhileOpen);
        QCOMPARE(ProcessAboutAnimation().FrameCounter(), 3);
        QVERIFY(!dialog.IsTimerRunning(CAboutDlg::kAnimationTimer));
    }
};

QTEST_MAIN(CAboutDlgTest)
#include "CAboutDlgTest.moc"
