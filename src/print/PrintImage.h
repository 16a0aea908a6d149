// The print image: the password drawn in the print font and colour inside the
// print-image control's etched frame, 387 x 67 pixels. The control shows this
// image and the label is read from it, so what shows is what prints.
#pragma once

#include "print/LabelImage.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>

#include <string_view>

class PrintStyle;
class QPainter;

class PrintImage {
public:
    static constexpr int kWidth = 387;
    static constexpr int kHeight = 67;
    static constexpr QSize kSize{kWidth, kHeight};
    // Inside the two-pixel frame.
    static constexpr QRect kWhiteArea{2, 2, kWidth - 4, kHeight - 4};
    // The text is centred on and clipped to this, which ends a pixel short of
    // the white area on the right and at the bottom.
    static constexpr QRect kTextArea{QPoint(2, 2), QPoint(kWidth - 4 - 1, kHeight - 4 - 1)};
    // The label's top-left dot: the white area plus the frame's inner line on
    // the top and on the left.
    static constexpr QPoint kLabelOrigin{1, 1};

    // The whole image for `password` in the print font and text colour.
    static QImage Render(std::string_view password, const PrintStyle& style);

    // Whether `password` shows whole: none of its ink is cut by the text area.
    // An empty password fits.
    static bool Fits(std::string_view password, const PrintStyle& style);

    // Where the baseline of a line starts: the line is centred as a text line,
    // on its advance width and on its ascent plus descent, so the baseline
    // stays put for a font whatever the letters.
    static QPoint LineOrigin(int advance, int ascent, int descent);

    // Whether ink covering `ink` (text area coordinates) lies inside the text area.
    static bool InkFits(const QRect& ink);

    // Draws the password's line as Render does, in print-image coordinates, on
    // any painter: the label on a printer's page or in a PDF is drawn by this too.
    static void DrawText(QPainter& painter, std::string_view password, const PrintStyle& style);

    // Paints the control: the rendered image at the painter's origin.
    static void Draw(QPainter& painter, std::string_view password, const PrintStyle& style);

    // The label read from an image laid out as Render's: a pixel exactly white
    // is no dot, any other pixel is one.
    static LabelImage Label(const QImage& image);
};
