// The about box: its controls, the frames it draws and shows, the animation
// carried over from one opening to the next, and its timer ending with it.
#include "app/CAboutDlg.h"

#include "app/AboutAnimation.h"
#include "platform/CrtRandom.h"
#include "support/GuiTestHelpers.h"

#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

constexpr int kFrameId = 1037;

QColor ToQColor(const AboutAnimation::Colour& c) {
    return {c.red, c.green, c.blue};
}

// The colour covering most of an image: the background behind the characters.
QColor MostCommonColour(const QImage& image) {
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ++counts[image.pixel(x, y) | 0xFF000000u];
        }
    }
    QRgb best = 0;
    int bestCount = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > bestCount) {
            best = it.key();
            bestCount = it.value();
        }
    }
    return QColor::fromRgb(best);
}

void Tick(CAboutDlg& dialog, int times) {
    for (int i = 0; i < times; ++i) {
        dialog.OnTimer(CAboutDlg::kAnimationTimer);
    }
}

// Runs `step` every 20 ms while a modal dialog is open, until it returns true.
void WhileModal(const std::function<bool()>& step) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, step] {
        if (step()) {
            poll->deleteLater();
        }
    });
    poll->start(20);
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

    void showsTheTemplate() {
        CAboutDlg dialog;
        dialog.Create();
        QCOMPARE(dialog.windowTitle(), QString::fromUtf8("Q8xjのﾊﾞｰｼﾞｮﾝ情報"));
        QCOMPARE(dialog.size(), dialog.MapDialogRect(0, 0, 179, 91).size());
        QStringList texts;
        for (const auto* label : dialog.findChildren<QLabel*>()) {
            texts << label->text();
        }
        QVERIFY(texts.contains(QStringLiteral("Q8xj Version 1.4")));
        QVERIFY(texts.filter(QStringLiteral("2002-2003")).size() == 1);
        QCOMPARE(dialog.Item<QPushButton>(IDOK)->text(), QStringLiteral("OK"));
        QVERIFY(dialog.GetDlgItem(kFrameId)->isHidden());
        QCOMPARE(dialog.AnimationRect(), dialog.MapDialogRect(7, 40, 165, 44));
        QVERIFY(dialog.IsTimerRunning(CAboutDlg::kAnimationTimer));
        QVERIFY(dialog.LastFrame().isNull());
        dialog.EndDialog(IDOK);
    }

    void firstFrameShowsTheWordOnNearlyWhite() {
        CAboutDlg dialog;
        dialog.Create();
        dialog.show();
        Tick(dialog, 1);
        const QImage frame = dialog.LastFrame();
        QCOMPARE(frame.size(), dialog.AnimationRect().size());

        const QColor background = MostCommonColour(frame);
        for (const int component : {background.red(), background.green(), background.blue()}) {
            QVERIFY2(component >= 247 && component < 255, qPrintable(background.name()));
        }
        // Held cells are solid blocks in the text colour, black at the start of the walk;
        // sample each block a little inside its top-left corner.
        const AboutAnimation::Grid mask = AboutAnimation::BuildMask();
        int blocks = 0;
        for (int row = 0; row < AboutAnimation::kRows; ++row) {
            for (int column = 0; column < AboutAnimation::kColumns; ++column) {
                if (mask[static_cast<std::size_t>(row * AboutAnimation::kColumns + column)] !=
                    AboutAnimation::kHold) {
                    continue;
                }
                const auto at = AboutAnimation::CellOrigin(column, row, frame.width(), frame.height());
                QCOMPARE(frame.pixelColor(at.x + 2, at.y + 3), QColor(Qt::black));
                ++blocks;
            }
        }
        QCOMPARE(blocks, static_cast<int>(std::count(mask.begin(), mask.end(), AboutAnimation::kHold)));
        QVERIFY(blocks > 20);

        // What the dialog shows in the area is the frame just drawn.
        const QImage shown =
            dialog.grab(dialog.AnimationRect()).toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown, frame);
        dialog.EndDialog(IDOK);
    }

    void aSecondOpeningCarriesOn() {
        {
            CAboutDlg first;
            first.Create();
            first.show();
            Tick(first, 37);
            QTest::mouseClick(first.Item<QPushButton>(IDOK), Qt::LeftButton);
            QVERIFY(!first.isVisible());
        }
        // What the next tick must be if nothing was reset in between.
        AboutAnimation model = ProcessAboutAnimation();
        CrtRandom random = ProcessRandom();
        QCOMPARE(model.FrameCounter(), 37);
        QVERIFY(model.Red().value != 0 || model.Green().value != 0 || model.Blue().value != 0);

        CAboutDlg second;
        second.Create();
        second.show();
        for (int tick = 37; tick < 37 + 6; ++tick) {
            const AboutAnimation::Frame wanted = model.Tick(random);
            Tick(second, 1);
            QCOMPARE(MostCommonColour(second.LastFrame()), ToQColor(wanted.fill));
        }
        // The cycle wrapped at 41: ticks 0 and 1 of the new cycle show the picture again.
        QCOMPARE(ProcessAboutAnimation().FrameCounter(), 2);
        QCOMPARE(ProcessAboutAnimation().Red().value, model.Red().value);
        QCOMPARE(ProcessAboutAnimation().Green().value, model.Green().value);
        QCOMPARE(ProcessAboutAnimation().Blue().value, model.Blue().value);
        QCOMPARE(ProcessRandom().State(), random.State());
        second.EndDialog(IDOK);
    }

    void noTimerIsLeftAfterClosing_data() {
        QTest::addColumn<int>("way");
        QTest::addColumn<int>("result");
        QTest::newRow("ok button") << 0 << int(IDOK);
        QTest::newRow("escape key") << 1 << int(IDCANCEL);
        QTest::newRow("close box") << 2 << int(IDCANCEL);
    }
    void noTimerIsLeftAfterClosing() {
        QFETCH(int, way);
        QFETCH(int, result);
        CAboutDlg dialog;
        // Let the real timer tick a few times inside the modal loop, then close.
        WhileModal([&dialog, way] {
            if (!dialog.isVisible() || ProcessAboutAnimation().FrameCounter() < 3) {
                return false;
            }
            switch (way) {
            case 0:
                QTest::mouseClick(dialog.Item<QPushButton>(IDOK), Qt::LeftButton);
                break;
            case 1:
                QTest::keyClick(&dialog, Qt::Key_Escape);
                break;
            default:
                dialog.close();
                break;
            }
            return true;
        });
        QCOMPARE(dialog.DoModal(), result);
        QVERIFY(!dialog.IsTimerRunning(CAboutDlg::kAnimationTimer));
        const int stoppedAt = ProcessAboutAnimation().FrameCounter();
        QTest::qWait(3 * CAboutDlg::kAnimationPeriodMs);
        QCOMPARE(ProcessAboutAnimation().FrameCounter(), stoppedAt);
    }
};

QTEST_MAIN(CAboutDlgTest)
#include "CAboutDlgTest.moc"
