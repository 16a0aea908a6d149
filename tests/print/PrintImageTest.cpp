// The print image: the centred and clipped password, the colours that print,
// and the label read from it.
#include "print/PrintImage.h"

#include "print/PrintStyle.h"
#include "support/GuiTestHelpers.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <optional>
#include <string>

namespace {

bool IsWhite(QRgb pixel) {
    return (pixel | 0xFF000000) == 0xFFFFFFFF;
}

// The box around every non-white pixel of `image` inside `area`.
std::optional<QRect> Ink(const QImage& image, QRect area = PrintImage::kWhiteArea) {
    std::optional<QRect> ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!IsWhite(image.pixel(x, y))) {
                ink = ink ? ink->united(QRect(x, y, 1, 1)) : QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

PrintStyle StyleWith(int height, QColor colour, bool underline = false) {
    PrintStyle style;
    FontDescription font = style.Description();
    font.height = height;
    font.underline = underline ? 1 : 0;
    if (!style.Set(font, colour)) {
        qFatal("the test font cannot be made");
    }
    return style;
}

// The text drawn whole in black without antialiasing, cut to its ink.
QImage WholeInk(const QString& text, QFont font) {
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font);
    QImage canvas(metrics.horizontalAdvance(text) + 200, metrics.height() + 200, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(100, 100 + metrics.ascent(), text);
    }
    return canvas.copy(Ink(canvas, canvas.rect()).value());
}

} // namespace

class PrintImageTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QCOMPARE(VisibleTopLevelWindows(), 0); }

    void emptyPasswordLeavesTheAreaWhite() {
        const QImage image = PrintImage::Render("", StyleWith(-48, Qt::red, true));
        QCOMPARE(image.size(), QSize(387, 67));
        QCOMPARE(PrintImage::Label(image).DotCount(), std::size_t{0});
    }

    // The text rectangle's last pixel is (382, 62): the ink box's first and last
    // pixels add up to 384 across and 64 down, one less where the leftover is odd.
    void inkIsCentred_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("underline");
        QTest::newRow("39r") << "39r" << -48 << false;
        QTest::newRow("one narrow letter") << "i" << -48 << false;
        QTest::newRow("underlined descenders") << "gjpq" << -48 << true;
        QTest::newRow("small cell height") << "Ty7" << 14 << false;
    }
    void inkIsCentred() {
        QFETCH(QString, password);
        QFETCH(int, height);
        QFETCH(bool, underline);
        const QImage image =
            PrintImage::Render(password.toStdString(), StyleWith(height, Qt::black, underline));
        const std::optional<QRect> ink = Ink(image);
        QVERIFY(ink && PrintImage::kTextArea.contains(*ink));
        const int across = ink->left() + ink->right();
        const int down = ink->top() + ink->bottom();
        QCOMPARE(across, ink->width() % 2 == 1 ? 384 : 383);
        QCOMPARE(down, ink->height() % 2 == 1 ? 64 : 63);
    }

    // What shows is the middle of the whole text: as much is lost on either side.
    void wideTextIsCutEvenlyAtBothEnds_data() {
        QTest::addColumn<QString>("password");
        QTest::newRow("capitals and digits") << "AX7KW2ZR9LV5BN3HD8TY4MEP6";
        QTest::newRow("mixed") << "Pass-Word_1234567890-abcdefgh";
    }
    void wideTextIsCutEvenlyAtBothEnds() {
        QFETCH(QString, password);
        const PrintStyle style = StyleWith(-48, Qt::black);
        const QImage image = PrintImage::Render(password.toStdString(), style);
        const QImage whole = WholeInk(password, style.Font());
        const QRect area = PrintImage::kTextArea;
        const int excess = whole.width() - area.width();
        QVERIFY(excess > 0);
        const std::optional<QRect> ink = Ink(image);
        QVERIFY(ink && ink->left() == area.left() && ink->right() == area.right());
        const auto cutOnTheLeft = [&](int cut) {
            const QImage part = whole.copy(cut, 0, area.width(), whole.height());
            return part.copy(Ink(part, part.rect()).value()) == image.copy(*ink);
        };
        QVERIFY(cutOnTheLeft(excess / 2) || cutOnTheLeft((excess + 1) / 2));
    }

    // Only pure white prints nothing; any other colour prints the same dots,
    // and the image holds no shades between the colour and white.
    void coloursThatPrint_data() {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("height");
        QTest::newRow("white") << QColor(Qt::white) << -48;
        QTest::newRow("black") << QColor(Qt::black) << -48;
        QTest::newRow("teal") << QColor(0, 128, 128) << -48;
        QTest::newRow("near white") << QColor(255, 255, 254) << -48;
        QTest::newRow("large red drawn as outlines") << QColor(Qt::red) << -90;
    }
    void coloursThatPrint() {
        QFETCH(QColor, colour);
        QFETCH(int, height);
        const QImage image = PrintImage::Render("Wg8@", StyleWith(height, colour));
        const LabelImage label = PrintImage::Label(image);
        if (colour == Qt::white) {
            QCOMPARE(label.DotCount(), std::size_t{0});
            return;
        }
        QVERIFY(label.DotCount() > 0);
        QCOMPARE(label, PrintImage::Label(PrintImage::Render("Wg8@", StyleWith(height, Qt::black))));
        for (int y = 2; y <= 64; ++y) {
            for (int x = 2; x <= 384; ++x) {
                if (label.Dot(x - 1, y - 1)) {
                    QCOMPARE(QColor(image.pixel(x, y)), colour);
                }
            }
        }
    }

    // The label's 384 x 64 dots start at the frame's inner line, at (1, 1).
    void labelIsTakenFromItsOffset() {
        QImage image(PrintImage::kSize, QImage::Format_RGB32);
        image.fill(Qt::white);
        for (const QPoint at : {QPoint(0, 0), QPoint(1, 1), QPoint(384, 64), QPoint(385, 65)}) {
            image.setPixel(at, 0xFF123456);
        }
        const LabelImage label = PrintImage::Label(image);
        QCOMPARE(label.DotCount(), std::size_t{2});
        QVERIFY(label.Dot(0, 0) && label.Dot(383, 63));
    }
};

QTEST_MAIN(PrintImageTest)
#include "PrintImageTest.moc"
