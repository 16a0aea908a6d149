// The print image: frame, white area, the centred and clipped password, the
// colours that print, and the label read from it.
#include "print/PrintImage.h"

#include "platform/PaintArea.h"
#include "print/PrintStyle.h"
#include "print/QtFont.h"
#include "support/GuiTestHelpers.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

bool IsWhite(QRgb pixel) {
    return (pixel | 0xFF000000) == kWhite;
}

// The box around every non-white pixel inside the white area.
std::optional<QRect> Ink(const QImage& image) {
    std::optional<QRect> ink;
    const QRect area = PrintImage::kWhiteArea;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!IsWhite(image.pixel(x, y))) {
                ink = ink ? ink->united(QRect(x, y, 1, 1)) : QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

PrintStyle StyleWith(int height, QColor colour, bool underline = false, int weight = 0) {
    PrintStyle style;
    FontDescription font = style.Description();
    font.height = height;
    font.underline = underline ? 1 : 0;
    font.weight = weight;
    if (!style.Set(font, colour)) {
        qFatal("the test font cannot be made");
    }
    return style;
}

const std::string kLong(35, 'W');

// The text drawn whole, without antialiasing, cut to its ink.
QImage WholeInk(const QString& text, QFont font) {
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics metrics(font);
    QImage canvas(metrics.horizontalAdvance(text) + 200, metrics.height() + 200, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(100, 100 + metrics.ascent(), text);
    }
    QRect ink;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (!IsWhite(canvas.pixel(x, y))) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return canvas.copy(ink);
}

} // namespace

class PrintImageTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QCOMPARE(VisibleTopLevelWindows(), 0); }

    void startFontIsThirtySixPointsBlack_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("height");
        QTest::newRow("96 dpi") << 96 << -48;
        QTest::newRow("120 dpi") << 120 << -60;
        QTest::newRow("144 dpi") << 144 << -72;
        QTest::newRow("72 dpi") << 72 << -36;
    }
    void startFontIsThirtySixPointsBlack() {
        QFETCH(int, dpi);
        QFETCH(int, height);
        QImage device(1, 1, QImage::Format_RGB32);
        device.setDotsPerMeterY(qRound(dpi / 0.0254));
        const PrintStyle style(&device);
        FontDescription expected;
        expected.height = height;
        expected.charSet = FontDescription::DefaultCharSet;
        expected.faceName = "MS UI Gothic";
        QVERIFY(style.Description() == expected);
        QCOMPARE(style.Font().pixelSize(), -height);
        QCOMPARE(style.Font().family(), QStringLiteral("IPAPGothic"));
        QCOMPARE(style.TextColour(), QColor(Qt::black));
    }

    void frameAndEmptyArea_data() {
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QColor>("colour");
        const QColor shadow = PaintArea::Shadow3D();
        const QColor white(Qt::white);
        QTest::newRow("outer line top is shadow") << QPoint(100, 0) << shadow;
        QTest::newRow("outer line left is shadow") << QPoint(0, 30) << shadow;
        QTest::newRow("outer line bottom is highlight") << QPoint(100, 66) << white;
        QTest::newRow("outer line right is highlight") << QPoint(386, 30) << white;
        QTest::newRow("inner line top is highlight") << QPoint(100, 1) << white;
        QTest::newRow("inner line left is highlight") << QPoint(1, 30) << white;
        QTest::newRow("inner line bottom is shadow") << QPoint(100, 65) << shadow;
        QTest::newRow("inner line right is shadow") << QPoint(385, 30) << shadow;
        QTest::newRow("inner corner bottom-left is shadow") << QPoint(1, 65) << shadow;
        QTest::newRow("inner corner top-right is shadow") << QPoint(385, 1) << shadow;
    }
    void frameAndEmptyArea() {
        QFETCH(QPoint, at);
        QFETCH(QColor, colour);
        const QImage image = PrintImage::Render("", PrintStyle());
        QCOMPARE(image.size(), QSize(387, 67));
        QCOMPARE(QColor(image.pixel(at)), colour);
    }

    void emptyPasswordLeavesTheAreaWhite_data() {
        QTest::addColumn<QColor>("colour");
        QTest::newRow("black") << QColor(Qt::black);
        QTest::newRow("red") << QColor(Qt::red);
    }
    void emptyPasswordLeavesTheAreaWhite() {
        QFETCH(QColor, colour);
        const QImage image = PrintImage::Render("", StyleWith(-48, colour, true));
        for (int y = 1; y <= 64; ++y) {
            for (int x = 1; x <= 384; ++x) {
                QVERIFY2(IsWhite(image.pixel(x, y)), qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
            }
        }
        QCOMPARE(PrintImage::Label(image).DotCount(), std::size_t{0});
    }

    // Ink centred on the text rectangle, whose last pixel is (382, 62): the
    // ink box's first and last pixels add up to 384 across and 64 down, one
    // less where the leftover is odd.
    void inkIsCentred_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("underline");
        QTest::newRow("39r") << "39r" << -48 << false;
        QTest::newRow("one narrow letter") << "i" << -48 << false;
        QTest::newRow("descender") << "gjpq" << -48 << false;
        QTest::newRow("symbols") << "#$%&" << -48 << false;
        QTest::newRow("underlined") << "39r" << -48 << true;
        QTest::newRow("small font") << "Abc123" << -11 << false;
        QTest::newRow("even width") << "MM" << -40 << false;
        QTest::newRow("cell height") << "Ty7" << 50 << false;
        QTest::newRow("text as high as the area") << "|" << -61 << false;
    }
    void inkIsCentred() {
        QFETCH(QString, password);
        QFETCH(int, height);
        QFETCH(bool, underline);
        const QImage image =
            PrintImage::Render(password.toStdString(), StyleWith(height, Qt::black, underline));
        const std::optional<QRect> ink = Ink(image);
        QVERIFY(ink.has_value());
        QVERIFY2(PrintImage::kTextArea.contains(*ink), "the test text must fit");
        const int across = ink->left() + ink->right();
        const int down = ink->top() + ink->bottom();
        QVERIFY2(across == 384 || across == 383, qPrintable(QString::number(across)));
        QVERIFY2(down == 64 || down == 63, qPrintable(QString::number(down)));
        QCOMPARE(across == 384, ink->width() % 2 == 1);
        QCOMPARE(down == 64, ink->height() % 2 == 1);
    }

    // What shows is what prints: the text area holds only white and the text colour.
    void noEdgeShades_data() {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("weight");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("start font") << -48 << 0 << QColor(Qt::black);
        QTest::newRow("bold teal") << -48 << 700 << QColor(0, 128, 128);
        QTest::newRow("small grey") << -12 << 0 << QColor(128, 128, 128);
        QTest::newRow("large red drawn as outlines") << -90 << 0 << QColor(Qt::red);
    }
    void noEdgeShades() {
        QFETCH(int, height);
        QFETCH(int, weight);
        QFETCH(QColor, colour);
        const QImage image = PrintImage::Render("Wg8@", StyleWith(height, colour, false, weight));
        int inked = 0;
        for (int y = 2; y <= 64; ++y) {
            for (int x = 2; x <= 384; ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (!IsWhite(pixel)) {
                    QCOMPARE(QColor(pixel), colour);
                    ++inked;
                }
            }
        }
        QVERIFY(inked > 0);
    }

    void wideTextIsCutAtBothEnds_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("taller");
        QTest::newRow("35 capitals") << QString::fromStdString(kLong) << -48 << false;
        QTest::newRow("mixed") << "Pass-Word_1234567890-abcdefgh" << -48 << false;
        QTest::newRow("taller than the area") << "WWWWWWWWW" << -100 << true;
    }
    void wideTextIsCutAtBothEnds() {
        QFETCH(QString, password);
        QFETCH(int, height);
        QFETCH(bool, taller);
        const PrintStyle style = StyleWith(height, Qt::black);
        const QImage image = PrintImage::Render(password.toStdString(), style);
        const std::optional<QRect> ink = Ink(image);
        QVERIFY(ink.has_value());
        QCOMPARE(ink->left(), PrintImage::kTextArea.left());
        QCOMPARE(ink->right(), PrintImage::kTextArea.right());
        if (taller) {
            QCOMPARE(ink->top(), PrintImage::kTextArea.top());
            QCOMPARE(ink->bottom(), PrintImage::kTextArea.bottom());
        }
        QVERIFY(PrintImage::kTextArea.contains(*ink));
        // The frame is untouched too.
        const QImage empty = PrintImage::Render("", style);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (!PrintImage::kTextArea.contains(x, y)) {
                    QCOMPARE(image.pixel(x, y), empty.pixel(x, y));
                }
            }
        }
    }

    // The cut is even: the visible part is found in a drawing of the whole
    // text, and as much is missing on its left as on its right. The texts do
    // not repeat, so the part is found in one place only.
    void wideTextLosesAsMuchOnEachSide_data() {
        QTest::addColumn<QString>("password");
        QTest::newRow("capitals and digits") << "AX7KW2ZR9LV5BN3HD8TY4MEP6";
        QTest::newRow("mixed") << "Pass-Word_1234567890-abcdefgh";
        QTest::newRow("just over") << "Wm@QWm8#Hk%Zx";
    }
    void wideTextLosesAsMuchOnEachSide() {
        QFETCH(QString, password);
        const PrintStyle style = StyleWith(-48, Qt::black);
        const QImage image = PrintImage::Render(password.toStdString(), style);
        const QImage whole = WholeInk(password, style.Font());
        const int width = PrintImage::kTextArea.width();
        QVERIFY(whole.width() > width);
        const std::optional<QRect> ink = Ink(image);
        QVERIFY(ink.has_value());
        const auto matchesAt = [&](int left, int top) {
            for (int y = 0; y < ink->height(); ++y) {
                for (int x = 0; x < width; ++x) {
                    if (IsWhite(image.pixel(PrintImage::kTextArea.left() + x, ink->top() + y)) !=
                        IsWhite(whole.pixel(left + x, top + y))) {
                        return false;
                    }
                }
            }
            return true;
        };
        std::vector<int> cutsOnTheLeft;
        for (int top = 0; top + ink->height() <= whole.height(); ++top) {
            for (int left = 0; left + width <= whole.width(); ++left) {
                if (matchesAt(left, top)) {
                    cutsOnTheLeft.push_back(left);
                }
            }
        }
        QCOMPARE(cutsOnTheLeft.size(), std::size_t{1});
        const int cutLeft = cutsOnTheLeft.front();
        const int cutRight = whole.width() - width - cutLeft;
        QVERIFY2(std::abs(cutLeft - cutRight) <= 1,
                 qPrintable(QStringLiteral("%1 %2").arg(cutLeft).arg(cutRight)));
    }

    void onlyPureWhitePrintsNothing_data() {
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<bool>("dots");
        QTest::newRow("white") << QColor(255, 255, 255) << false;
        QTest::newRow("black") << QColor(0, 0, 0) << true;
        QTest::newRow("red") << QColor(255, 0, 0) << true;
        QTest::newRow("yellow") << QColor(255, 255, 0) << true;
        QTest::newRow("near white in red") << QColor(254, 255, 255) << true;
        QTest::newRow("near white in green") << QColor(255, 254, 255) << true;
        QTest::newRow("near white in blue") << QColor(255, 255, 254) << true;
    }
    void onlyPureWhitePrintsNothing() {
        QFETCH(QColor, colour);
        QFETCH(bool, dots);
        const QImage image = PrintImage::Render("39r", StyleWith(-48, colour));
        const LabelImage label = PrintImage::Label(image);
        QCOMPARE(label.DotCount() > 0, dots);
        const QImage black = PrintImage::Render("39r", StyleWith(-48, Qt::black));
        if (dots) {
            QCOMPARE(label, PrintImage::Label(black));
        }
    }

    // One non-white pixel in a white image: where its dot lands, if anywhere.
    void labelIsTakenFromItsOffset_data() {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QRgb>("rgb");
        QTest::addColumn<QPoint>("dot"); // (-1, -1): none
        const QPoint none(-1, -1);
        QTest::newRow("label's top-left") << QPoint(1, 1) << QRgb(0xFF000000) << QPoint(0, 0);
        QTest::newRow("label's bottom-right") << QPoint(384, 64) << QRgb(0xFF000000) << QPoint(383, 63);
        QTest::newRow("white area's top-left") << QPoint(2, 2) << QRgb(0xFF000000) << QPoint(1, 1);
        QTest::newRow("strip boundary") << QPoint(129, 33) << QRgb(0xFF123456) << QPoint(128, 32);
        QTest::newRow("left of the label") << QPoint(0, 10) << QRgb(0xFF000000) << none;
        QTest::newRow("right of the label") << QPoint(385, 10) << QRgb(0xFF000000) << none;
        QTest::newRow("above the label") << QPoint(10, 0) << QRgb(0xFF000000) << none;
        QTest::newRow("below the label") << QPoint(10, 65) << QRgb(0xFF000000) << none;
        QTest::newRow("almost white") << QPoint(50, 20) << QRgb(0xFFFFFFFE) << QPoint(49, 19);
        QTest::newRow("white") << QPoint(50, 20) << QRgb(0xFFFFFFFF) << none;
    }
    void labelIsTakenFromItsOffset() {
        QFETCH(QPoint, pixel);
        QFETCH(QRgb, rgb);
        QFETCH(QPoint, dot);
        QImage image(PrintImage::kSize, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.setPixel(pixel, rgb);
        const LabelImage label = PrintImage::Label(image);
        if (dot.x() < 0) {
            QCOMPARE(label.DotCount(), std::size_t{0});
        } else {
            QCOMPARE(label.DotCount(), std::size_t{1});
            QVERIFY(label.Dot(dot.x(), dot.y()));
        }
    }

    // The control paints the very image the label is read from.
    void controlShowsTheRenderedImage_data() {
        QTest::addColumn<QString>("password");
        QTest::newRow("empty") << "";
        QTest::newRow("39r") << "39r";
        QTest::newRow("long") << QString::fromStdString(kLong);
    }
    void controlShowsTheRenderedImage() {
        QFETCH(QString, password);
        const PrintStyle style = StyleWith(-48, QColor(128, 0, 128), true);
        const std::string text = password.toStdString();
        PaintArea area;
        area.resize(PrintImage::kSize);
        area.SetPainter([&](QPainter& painter) { PrintImage::Draw(painter, text, style); });
        const QImage shown = area.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown, PrintImage::Render(text, style));
    }
};

QTEST_MAIN(PrintImageTest)
#include "PrintImageTest.moc"
