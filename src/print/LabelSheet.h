// The label on a page of any printer or in a PDF: at its real size, 48 x 8 mm
// (its dots at 8 dots per millimetre), at the top-left corner of the printable
// area, drawn by the print image's own code at the device's resolution (so it
// stays sharp on a fine printer and vector in a PDF), with a thin grey cutting
// frame around it unless left out. Printers are reached through LabelPrinting.
#pragma once

#include "print/PrintStyle.h"

#include <QByteArray>

#include <string>

class QPainter;

class LabelSheet {
public:
    static constexpr double kDotsPerMm = 8.0;
    // The PDF's page: A4 with the label this far from its top and left edges,
    // inside what common printers can print.
    static constexpr double kPdfMarginMm = 10.0;

    // The label of `password`.
    LabelSheet(std::string password, const PrintStyle& style, bool frame);

    // Paints the label with its top-left corner at the painter's origin, which
    // the printer and the PDF writer put at the printable area's top-left.
    void Paint(QPainter& painter) const;

    // The label as a one-page PDF, in memory: whoever saves it owns the file.
    QByteArray Pdf() const;

    // The same label with its frame or not, as the printing module paints it.
    static void Paint(QPainter& painter, const std::string& password, const PrintStyle& style, bool frame) {
        LabelSheet(password, style, frame).Paint(painter);
    }

private:
    std::string m_password;
    PrintStyle m_style;
    bool m_frame;
};
