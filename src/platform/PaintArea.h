// A static control with an etched frame whose inside the owning dialog draws
// (the typing result and the print image).
#pragma once

#include <QWidget>

#include <functional>

class QPainter;

class PaintArea : public QWidget {
    Q_OBJECT
public:
    using Painter = std::function<void(QPainter&)>;

    explicit PaintArea(QWidget* parent = nullptr);

    // Called on every paint, after the frame, with the widget's own coordinates.
    void SetPainter(Painter painter);

    // The two-pixel etched edge: outer line shadow on the top and left and
    // highlight on the bottom and right, the inner line the other way round.
    static void DrawEtchedFrame(QPainter& painter, const QRect& rect);

    static QColor ButtonFace();
    // `onLight`, a colour chosen for a light window, as it reads on the
    // window colour of `palette`: itself in a light palette; in a dark one
    // black becomes the palette's text colour and any other is lightened.
    static QColor TextColour(QColor onLight, const QPalette& palette);
    static QColor Highlight3D() { return Qt::white; }
    static QColor Shadow3D() { return QColor(160, 160, 160); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Painter m_painter;
};
