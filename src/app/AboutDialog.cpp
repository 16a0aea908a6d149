#include "app/AboutDialog.h"

#include "app/AboutAnimation.h"
#include "app/AboutDialogTemplate.h"
#include "platform/CrtRandom.h"
#include "platform/DialogLayout.h"
#include "platform/Fonts.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>

namespace {

QColor ToQColor(const AboutAnimation::Colour& colour) {
    return {colour.red, colour.green, colour.blue};
}

// A fixed-pitch face, so the random characters and the held blocks share one cell size.
QFont CellFont(const QPaintDevice* device) {
    return PointFont(QString::fromUtf8("ＭＳ ゴシック"), 120, device);
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent) {
    const dlg::Layout layout(*this, about::kTemplate);
    // The frame is a child of the dialog, so its geometry is already in client coordinates.
    m_animationRect = layout.Widget(about::kAnimationFrameId)->geometry();
    // Enter anywhere in the box is OK.
    auto* ok = layout.Get<QPushButton>(about::kOkId);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    m_timer.setInterval(kAnimationPeriodMs);
    connect(&m_timer, &QTimer::timeout, this, &AboutDialog::DrawFrame);
    connect(this, &QDialog::finished, &m_timer, &QTimer::stop);
}

void AboutDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_timer.start();
}

void AboutDialog::DrawFrame() {
    const QSize size = m_animationRect.size();
    const AboutAnimation::Frame frame = ProcessAboutAnimation().Tick(ProcessRandom());

    QImage image(size, QImage::Format_RGB32);
    const QColor fill = ToQColor(frame.fill);
    const QColor text = ToQColor(frame.text);
    image.fill(fill);
    {
        QPainter painter(&image);
        const QFont font = CellFont(this);
        const QFontMetrics metrics(font);
        const QSize cell(metrics.horizontalAdvance(QLatin1Char('0')), metrics.height());
        painter.setFont(font);
        painter.setPen(text);
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(fill);
        for (int row = 0; row < AboutAnimation::kRows; ++row) {
            for (int column = 0; column < AboutAnimation::kColumns; ++column) {
                const auto at = AboutAnimation::CellOrigin(column, row, size.width(), size.height());
                const std::uint8_t byte =
                    frame.cells[static_cast<std::size_t>(row * AboutAnimation::kColumns + column)];
                if (byte == AboutAnimation::kHold) {
                    // The control character has no glyph of its own; a solid cell reads best.
                    painter.fillRect(QRect(QPoint(at.x, at.y), cell), text);
                } else {
                    painter.drawText(at.x, at.y + metrics.ascent(),
                                     QString(QLatin1Char(static_cast<char>(byte))));
                }
            }
        }
    }
    m_lastFrame = image;
    update(m_animationRect);
}

void AboutDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (!m_lastFrame.isNull()) {
        QPainter painter(this);
        painter.drawImage(m_animationRect.topLeft(), m_lastFrame);
    }
}
