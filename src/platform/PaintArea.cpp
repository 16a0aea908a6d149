#include "platform/PaintArea.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

#include <algorithm>

PaintArea::PaintArea(QWidget* parent)
    : QWidget(parent) {}

void PaintArea::SetPainter(Painter painter) {
    m_painter = std::move(painter);
    update();
}

QColor PaintArea::ButtonFace() {
    return QApplication::palette().color(QPalette::Window);
}

QColor PaintArea::TextColour(QColor onLight, const QPalette& palette) {
    constexpr int kLightWindow = 128;
    constexpr int kLightText = 205;
    if (palette.color(QPalette::Window).lightness() >= kLightWindow) {
        return onLight;
    }
    if (onLight.hslSaturation() == 0) {
        return palette.color(QPalette::WindowText);
    }
    return QColor::fromHsl(onLight.hslHue(), onLight.hslSaturation(),
                           std::max(onLight.lightness(), kLightText));
}

void PaintArea::DrawEtchedFrame(QPainter& painter, const QRect& rect) {
    const int l = rect.left();
    const int t = rect.top();
    const int r = rect.right();
    const int b = rect.bottom();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Outer line.
    painter.setPen(Shadow3D());
    painter.drawLine(l, t, r - 1, t);
    painter.drawLine(l, t, l, b - 1);
    painter.setPen(Highlight3D());
    painter.drawLine(l, b, r, b);
    painter.drawLine(r, t, r, b);
    // Inner line.
    painter.setPen(Highlight3D());
    painter.drawLine(l + 1, t + 1, r - 2, t + 1);
    painter.drawLine(l + 1, t + 1, l + 1, b - 2);
    painter.setPen(Shadow3D());
    painter.drawLine(l + 1, b - 1, r - 1, b - 1);
    painter.drawLine(r - 1, t + 1, r - 1, b - 1);
    painter.restore();
}

void PaintArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ButtonFace());
    DrawEtchedFrame(painter, rect());
    if (m_painter) {
        m_painter(painter);
    }
}
