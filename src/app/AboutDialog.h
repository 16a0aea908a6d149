// The about box: name, version and rights notice above a small animation that
// runs on a 100 ms timer while the box is open and carries on where it left
// off when the box is opened again.
#pragma once

#include <QDialog>
#include <QImage>
#include <QRect>
#include <QTimer>

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kAnimationPeriodMs = 100;

    explicit AboutDialog(QWidget* parent = nullptr);

    // Every tick draws one frame.
    void DrawFrame();

    const QTimer& AnimationTimer() const { return m_timer; }
    // The last frame drawn (null before the first tick) and where it is shown,
    // in the dialog's client coordinates.
    const QImage& LastFrame() const { return m_lastFrame; }
    QRect AnimationRect() const { return m_animationRect; }

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRect m_animationRect;
    QTimer m_timer;
    QImage m_lastFrame;
};
