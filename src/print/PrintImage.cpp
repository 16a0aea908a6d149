#include "print/PrintImage.h"

#include "platform/PaintArea.h"
#include "platform/QtText.h"
#include "print/PrintStyle.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <optional>

namespace {

// The ink is measured in tiles so that a huge font needs little memory.
constexpr int kTileSize = 1024;

// Halves towards minus infinity: with an odd leftover the line sits half a
// pixel left of (or above) the centre, whether it is narrower or wider than
// the area.
int FloorHalf(int n) {
    return n >= 0 ? n / 2 : -((1 - n) / 2);
}

// Every pixel is either ink or not: no grey edge can show on screen and then
// print as a dot, or the other way round.
QFont Aliased(QFont font) {
    font.setStyleStrategy(
        QFont::StyleStrategy((font.styleStrategy() & ~QFont::PreferAntialias) | QFont::NoAntialias));
    return font;
}

void SetAliased(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
}

// The pixels `text` inks when drawn with its baseline origin at (0, 0),
// found by drawing it, since glyph metrics only approximate the rasterised
// ink (an italic's overhang, a glyph reaching past its advance).
std::optional<QRect> InkBounds(const QString& text, const QFont& font) {
    const QFontMetrics metrics(font);
    const int margin = metrics.height() / 2 + 4;
    const QRect scan(-margin, -metrics.ascent() - margin, metrics.horizontalAdvance(text) + 2 * margin,
                     metrics.height() + 2 * margin);
    int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
    for (int top = scan.top(); top <= scan.bottom(); top += kTileSize) {
        for (int left = scan.left(); left <= scan.right(); left += kTileSize) {
            QImage tile(std::min(kTileSize, scan.right() + 1 - left),
                        std::min(kTileSize, scan.bottom() + 1 - top), QImage::Format_Grayscale8);
            tile.fill(255);
            {
                QPainter painter(&tile);
                SetAliased(painter);
                painter.setFont(font);
                painter.setPen(Qt::black);
                painter.drawText(QPoint(-left, -top), text);
            }
            for (int y = 0; y < tile.height(); ++y) {
                const uchar* line = tile.constScanLine(y);
                for (int x = 0; x < tile.width(); ++x) {
                    if (line[x] != 255) {
                        minX = std::min(minX, left + x);
                        maxX = std::max(maxX, left + x);
                        minY = std::min(minY, top + y);
                        maxY = std::max(maxY, top + y);
                    }
                }
            }
        }
    }
    if (maxX < minX) {
        return std::nullopt;
    }
    return QRect(QPoint(minX, minY), QPoint(maxX, maxY));
}

void DrawLine(QPainter& painter, const QString& text, const QFont& font, QColor colour) {
    const QFontMetrics metrics(font);
    const QPoint origin =
        PrintImage::LineOrigin(metrics.horizontalAdvance(text), metrics.ascent(), metrics.descent());
    painter.save();
    SetAliased(painter);
    painter.setClipRect(PrintImage::kTextArea);
    painter.setFont(font);
    painter.setPen(colour);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);
    painter.drawText(origin, text);
    painter.restore();
}

} // namespace

QImage PrintImage::Render(std::string_view password, const PrintStyle& style) {
    QImage image(kSize, QImage::Format_RGB32);
    image.fill(PaintArea::ButtonFace());
    QPainter painter(&image);
    PaintArea::DrawEtchedFrame(painter, image.rect());
    painter.fillRect(kWhiteArea, Qt::white);
    DrawText(painter, password, style);
    return image;
}

void PrintImage::DrawText(QPainter& painter, std::string_view password, const PrintStyle& style) {
    const QString text = ToQString(password);
    if (!text.isEmpty()) {
        DrawLine(painter, text, Aliased(style.Font()), style.TextColour());
    }
}

QPoint PrintImage::LineOrigin(int advance, int ascent, int descent) {
    return {kTextArea.left() + FloorHalf(kTextArea.width() - advance),
            kTextArea.top() + FloorHalf(kTextArea.height() - (ascent + descent)) + ascent};
}

bool PrintImage::InkFits(const QRect& ink) {
    return ink.isEmpty() || kTextArea.contains(ink);
}

bool PrintImage::Fits(std::string_view password, const PrintStyle& style) {
    const QString text = ToQString(password);
    if (text.isEmpty()) {
        return true;
    }
    const QFont font = Aliased(style.Font());
    const std::optional<QRect> ink = InkBounds(text, font);
    if (!ink) {
        return true;
    }
    const QFontMetrics metrics(font);
    return InkFits(
        ink->translated(LineOrigin(metrics.horizontalAdvance(text), metrics.ascent(), metrics.descent())));
}

void PrintImage::Draw(QPainter& painter, std::string_view password, const PrintStyle& style) {
    painter.drawImage(QPoint(0, 0), Render(password, style));
}

LabelImage PrintImage::Label(const QImage& image) {
    LabelImage label;
    const QRect area = QRect(kLabelOrigin, QSize(LabelImage::kWidth, LabelImage::kHeight)) & image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const bool white = qRed(pixel) == 255 && qGreen(pixel) == 255 && qBlue(pixel) == 255;
            label.SetDot(x - kLabelOrigin.x(), y - kLabelOrigin.y(), !white);
        }
    }
    return label;
}
