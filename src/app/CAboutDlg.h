// The about box: name, version and rights notice above a small animation that
// runs on a 100 ms timer while the box is open and carries on where it left
// off when the box is opened again.
#pragma once

#include "platform/CDialog.h"

#include <QImage>
#include <QRect>

class CAboutDlg : public CDialog {
    Q_OBJECT
public:
    static constexpr int kAnimationTimer = 2;
    static constexpr int kAnimationPeriodMs = 100;

    explicit CAboutDlg(QWidget* parent = nullptr);

    bool OnInitDialog() override;
    // Every tick draws one frame.
    void OnTimer(int id) override;

    // The last frame drawn (null before the first tick) and where it is shown,
    // in the dialog's client coordinates.
    const QImage& LastFrame() const { return m_lastFrame; }
    QRect AnimationRect() const { return m_animationRect; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawFrame();

    QRect m_animationRect;
    int m_timerId = 0;
    QImage m_lastFrame;
};
