// The label on a page of any printer or in a PDF: at its real size, 48 x 8 mm
// (its dots at 8 dots per millimetre), at the top-left corner of the printable
// area, drawn by the print image's own code at the device's resolution (so it
// stays sharp on a fine printer and vector in a PDF), with a thin grey cutting
// frame around it unless left out.
#pragma once

#include "print/PrintStyle.h"

#include <QByteArray>

#include <string>

class QPainter;
class QPrinter;
class QString;

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

    // Prints one page on `printer`, a queue of the system's printing service,
    // with the copies set on it. False when the page could not be started or
    // the queue refused the job.
    bool Print(QPrinter& printer) const;

    // Prints one page on the system printing service's queue `queue`, laid out
    // as that queue's printer lays a page out. The page goes to the service as
    // a PDF made in memory, so no file of it is ever left behind, whatever ends
    // the program. False when the queue refused the job.
    bool PrintOnQueue(const QString& queue, const QString& title) const;

private:
    std::string m_password;
    PrintStyle m_style;
    bool m_frame;
};
