// The module behind LabelPrinting: Qt's print support and the printing
// service's library, loaded by the program on first use. It holds no label
// code of its own; the program paints the label through the callback.
#include "print/LabelPrinting.h"

#include <QBuffer>
#include <QCheckBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QVBoxLayout>

#include <cups/cups.h>

namespace {

bool PrintOn(QPrinter& printer, bool frame, const LabelPrinting::PaintLabel& paint) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    paint(painter, frame);
    painter.end();
    // Qt hands the job to the printing service as the painter ends and keeps
    // its answer to itself; the service's library still holds it for this thread.
    return printer.outputFormat() != QPrinter::NativeFormat ||
           cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

class ModulePrinting final : public LabelPrinting {
public:
    Printed PrintWithDialog(QWidget* parent, const QString& document, const PaintLabel& paint) override {
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(document);
        QPrintDialog dialog(&printer, parent);
        // One page; a file is saved with "PDF として保存...", not from here.
        dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintCollateCopies);
        dialog.setMinMax(1, 1);
        auto* labelTab = new QWidget;
        labelTab->setWindowTitle(QStringLiteral("ラベル"));
        auto* frame = new QCheckBox(QStringLiteral("切り取り線を印刷する(&F)"), labelTab);
        frame->setChecked(true);
        auto* layout = new QVBoxLayout(labelTab);
        layout->addWidget(frame);
        layout->addStretch();
        dialog.setOptionTabs({labelTab});
        if (dialog.exec() != QDialog::Accepted) {
            return {Outcome::Cancelled, printer.printerName()};
        }
        return {PrintOn(printer, frame->isChecked(), paint) ? Outcome::Printed : Outcome::Failed,
                printer.printerName()};
    }

    QStringList Queues() override { return QPrinterInfo::availablePrinterNames(); }

    QString DefaultQueue() override { return QPrinterInfo::defaultPrinterName(); }

    bool HasQueue(const QString& queue) override { return !QPrinterInfo::printerInfo(queue).isNull(); }

    bool ServiceReached() override {
        // Asked again, as Qt keeps the service's answer to itself.
        cups_dest_t* dests = nullptr;
        cupsFreeDests(cupsGetDests2(CUPS_HTTP_DEFAULT, &dests), dests);
        return cupsLastError() != IPP_STATUS_ERROR_SERVICE_UNAVAILABLE;
    }

    bool PrintOnQueue(const QString& queue, const QString& title, bool frame,
                      const PaintLabel& paint) override {
        // The page as the queue's printer would lay it out, made in memory.
        const QPrinter printer(QPrinterInfo::printerInfo(queue), QPrinter::HighResolution);
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setCreator(QStringLiteral("Q8xj"));
            writer.setTitle(title);
            writer.setResolution(printer.resolution());
            writer.setPageLayout(printer.pageLayout());
            QPainter painter;
            if (!painter.begin(&writer)) {
                return false;
            }
            paint(painter, frame);
        }
        const QByteArray name = queue.toUtf8();
        const int job =
            cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), title.toUtf8().constData(), 0, nullptr);
        if (job == 0) {
            return false;
        }
        if (cupsStartDocument(CUPS_HTTP_DEFAULT, name.constData(), job, "label", CUPS_FORMAT_PDF, 1) !=
                HTTP_STATUS_CONTINUE ||
            cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), static_cast<std::size_t>(pdf.size())) !=
                HTTP_STATUS_CONTINUE) {
            cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData());
            cupsCancelJob2(CUPS_HTTP_DEFAULT, name.constData(), job, 0);
            return false;
        }
        return cupsFinishDocument(CUPS_HTTP_DEFAULT, name.constData()) <= IPP_STATUS_OK_EVENTS_COMPLETE;
    }
};

} // namespace

extern "C" Q_DECL_EXPORT LabelPrinting* q8xj_label_printing() {
    static ModulePrinting printing;
    return &printing;
}
