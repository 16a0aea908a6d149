#include "print/LabelSheet.h"

#include "print/LabelImage.h"
#include "print/PrintImage.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

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
