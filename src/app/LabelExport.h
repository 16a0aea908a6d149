// The label at its real size elsewhere than on the label printer: on any
// printer of the system's printing service, or as a PDF file. The window's
// context menu offers both.
#pragma once

#include <QApplication>

#include <string>

class PrintStyle;
class QWidget;

// The print job holds the interface for half a second or more, and for
// seconds when the printer does not answer: the busy cursor shows it has not hung.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

namespace labelexport {

// Asks for a printer through the desktop's print dialog, then prints there; a
// failure is said, naming the printer, and so is a missing printing module.
void PrintElsewhere(QWidget* parent, const std::string& password, const PrintStyle& style);

// Asks for a file name and writes the label there as a PDF; a failure is said.
void SavePdf(QWidget* parent, const std::string& password, const PrintStyle& style);

} // namespace labelexport
