#include "print/LabelSheet.h"

#include "print/LabelImage.h"
#include "print/PrintImage.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cups/cups.h>

namespace {

constexpr double kMmPerInch = 25.4;
// Thinner than a dot, so the frame stays in the label's outermost dots, which
// the print image never inks.
constexpr double kFrameWidthMm = 0.1;
const QColor kFrameColour(160, 160, 160);

} // namespace

LabelSheet::LabelSheet(std::string password, const PrintStyle& style, bool frame)
    : m_password(std::move(password))
    , m_style(style)
    , m_frame(frame) {}

void LabelSheet::Paint(QPainter& painter) const {
    const QPaintDevice& device = *painter.device();
    painter.save();
    // From here on one unit is one label dot, at the device's own resolution.
    painter.scale(device.logicalDpiX() / (kDotsPerMm * kMmPerInch),
                  device.logicalDpiY() / (kDotsPerMm * kMmPerInch));
    if (m_frame) {
        const double width = kFrameWidthMm * kDotsPerMm;
        painter.setPen(QPen(kFrameColour, width));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(0, 0, LabelImage::kWidth, LabelImage::kHeight)
                             .adjusted(width / 2, width / 2, -width / 2, -width / 2));
    }
    painter.translate(-PrintImage::kLabelOrigin);
    PrintImage::DrawText(painter, m_password, m_style);
    painter.restore();
}

QByteArray LabelSheet::Pdf() const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QStringLiteral("Q8xj"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(kPdfMarginMm, kPdfMarginMm, kPdfMarginMm, kPdfMarginMm),
                                         QPageLayout::Millimeter));
        QPainter painter(&writer);
        Paint(painter);
    }
    return bytes;
}

bool LabelSheet::Print(QPrinter& printer) const {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    Paint(painter);
    painter.end();
    // Qt hands the job to the printing service as the painter ends and keeps
    // its answer to itself; the service's library still holds it for this thread.
    return printer.outputFormat() != QPrinter::NativeFormat ||
           cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

bool LabelSheet::PrintOnQueue(const QString& queue, const QString& title) const {
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
        Paint(painter);
    }
    const QByteArray name = queue.toUtf8();
    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, name.constData(), title.toUtf8().constData(), 0, nullptr);
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
