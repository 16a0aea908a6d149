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

// The text drawn whole in black without antialiasing, its baseline origin
// at (100, 100 + ascent).
QImage FreeLine(const QString& text, QFont font) {
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font);
    QImage canvas(metrics.horizontalAdvance(text) + 200, metrics.height() + 200, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(100, 100 + metrics.ascent(), text);
    return canvas;
}

// The same, cut to its ink.
QImage WholeInk(const QString& text, const QFont& font) {
    const QImage canvas = FreeLine(text, font);
    return canvas.copy(Ink(canvas, canvas.rect()).value());
}

// Where the ink's top-left lies from the baseline origin.
QPoint WholeInkOffset(const QString& text, const QFont& font) {
    const QImage canvas = FreeLine(text, font);
    return Ink(canvas, canvas.rect()).value().topLeft() - QPoint(100, 100 + QFontMetrics(font).ascent());
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

    // The line is centred as a text line: on its advance width and on the
    // font's ascent plus descent, so the baseline is the same row whatever the
    // letters. Each row's baseline origin is found from where its ink landed.
    void lineIsCentredOnAFixedBaseline_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("underline");
        QTest::newRow("x-height only") << "asnasn" << -48 << false;
        QTest::newRow("ascenders") << "ktkt" << -48 << false;
        QTest::newRow("descenders") << "gjpq" << -48 << false;
        QTest::newRow("capitals and digits") << "A39R" << -48 << false;
        QTest::newRow("one narrow letter") << "i" << -48 << false;
        QTest::newRow("underlined descenders") << "gjpq" << -48 << true;
        QTest::newRow("small cell height") << "Ty7" << 14 << false;
        QTest::newRow("small, x-height only") << "ace" << 14 << false;
    }
    void lineIsCentredOnAFixedBaseline() {
        QFETCH(QString, password);
        QFETCH(int, height);
        QFETCH(bool, underline);
        const PrintStyle style = StyleWith(height, Qt::black, underline);
        const QImage image = PrintImage::Render(password.toStdString(), style);
        const std::optional<QRect> ink = Ink(image);
        QVERIFY(ink && PrintImage::kTextArea.contains(*ink));
        // Where the ink lies from the baseline origin, drawn freely.
        const QFontMetrics metrics(style.Font());
        const QPoint origin = ink->topLeft() - WholeInkOffset(password, style.Font());
        // The font's line, ascent plus descent, and the advance, centred on the text area.
        const int lineTop = origin.y() - metrics.ascent();
        const int lineBottom = origin.y() + metrics.descent() - 1;
        const int advanceRight = origin.x() + metrics.horizontalAdvance(password) - 1;
        const int down = lineTop + lineBottom;
        const int across = origin.x() + advanceRight;
        QVERIFY2(down == 64 || down == 63, qPrintable(QString::number(down)));
        QVERIFY2(across == 384 || across == 383, qPrintable(QString::number(across)));
        // Every password in one font shares the baseline of "x".
        const QImage reference = PrintImage::Render("x", style);
        const QPoint referenceOrigin = Ink(reference)->topLeft() - WholeInkOffset("x", style.Font());
        QCOMPARE(origin.y(), referenceOrigin.y());
    }

    // The fit check: ink exactly as wide or as tall as the text area fits,
    // a pixel more on any side does not.
    void inkFitsTheTextArea_data() {
        QTest::addColumn<QRect>("ink");
        QTest::addColumn<bool>("fits");
        const QRect area = PrintImage::kTextArea;
        QTest::newRow("just fitting") << area << true;
        QTest::newRow("one pixel over on the left") << area.adjusted(-1, 0, 0, 0) << false;
        QTest::newRow("one pixel over on the right") << area.adjusted(0, 0, 1, 0) << false;
        QTest::newRow("one pixel over at the top") << area.adjusted(0, -1, 0, 0) << false;
        QTest::newRow("one pixel over at the bottom") << area.adjusted(0, 0, 0, 1) << false;
        QTest::newRow("narrow, in the middle") << QRect(150, 20, 80, 20) << true;
        QTest::newRow("no ink") << QRect() << true;
    }
    void inkFitsTheTextArea() {
        QFETCH(QRect, ink);
        QTEST(PrintImage::InkFits(ink), "fits");
    }

    // Through real glyphs: the longest run of a letter that fits, and one more.
    void passwordFitsUpToTheLabelsWidth_data() {
        QTest::addColumn<QChar>("letter");
        QTest::addColumn<int>("height");
        QTest::newRow("W at 48 pixels") << QChar('W') << -48;
        QTest::newRow("i at 48 pixels") << QChar('i') << -48;
        QTest::newRow("8 at 20 pixels") << QChar('8') << -20;
    }
    void passwordFitsUpToTheLabelsWidth() {
        QFETCH(QChar, letter);
        QFETCH(int, height);
        const PrintStyle style = StyleWith(height, Qt::black);
        int longest = 0;
        while (PrintImage::Fits(std::string(longest + 1, char(letter.unicode())), style)) {
            ++longest;
            QVERIFY(longest < 400);
        }
        QVERIFY(longest > 0);
        const std::string fitting(longest, char(letter.unicode()));
        const std::string over(longest + 1, char(letter.unicode()));
        // What fits shows whole; one letter more loses ink at the edges.
        const QImage whole = WholeInk(QString::fromStdString(fitting), style.Font());
        QCOMPARE(Ink(PrintImage::Render(fitting, style))->size(), whole.size());
        const QImage wholeOver = WholeInk(QString::fromStdString(over), style.Font());
        QVERIFY(Ink(PrintImage::Render(over, style))->width() < wholeOver.width());
        QVERIFY(PrintImage::Fits("", style));
    }

    // What shows is the middle of the whole line: as much advance is lost on either side.
    void wideTextIsCutEvenlyAtBothEnds_data() {
        QTest::addColumn<QString>("password");
        QTest::newRow("capitals and digits") << "AX7KW2ZR9LV5BN3HD8TY4MEP6";
        QTest::newRow("mixed") << "Pass-Word_1234567890-abcdefgh";
    }
    void wideTextIsCutEvenlyAtBothEnds() {
        QFETCH(QString, password);
        const PrintStyle style = StyleWith(-48, Qt::black);
        const QImage image = PrintImage::Render(password.toStdString(), style);
        QVERIFY(!PrintImage::Fits(password.toStdString(), style));
        const QRect area = PrintImage::kTextArea;
        const QFontMetrics metrics(style.Font());
        const int excess = metrics.horizontalAdvance(password) - area.width();
        QVERIFY(excess > 0);
        // The whole line drawn with its advance starting at x = 100.
        const QImage line = FreeLine(password, style.Font());
        const int baselineInLine = 100 + metrics.ascent();
        const QPoint origin = Ink(image)->topLeft() - WholeInkOffset(password, style.Font());
        const auto cutOnTheLeft = [&](int cut) {
            const QImage part =
                line.copy(100 + cut, baselineInLine - (origin.y() - area.top()), area.width(), area.height());
            return part == image.copy(area);
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
