// The result area under the typing field: paints a typing trial's kept
// result line, the match message or the comparison line of a mistyped password.
#pragma once

#include <QFont>

class PaintArea;
class QPainter;
class TypingTrial;

class TypingResultArea {
public:
    TypingResultArea() = default;
    ~TypingResultArea();
    TypingResultArea(const TypingResultArea&) = delete;
    TypingResultArea& operator=(const TypingResultArea&) = delete;

    // Takes the area over: its font becomes 10-point "MS UI Gothic" and it
    // paints `trial`'s result line from now on; `trial` outlives this.
    void Attach(PaintArea* area, const TypingTrial& trial);

    // The trial's result changed.
    void Redraw();

private:
    void Paint(QPainter& painter) const;

    const TypingTrial* m_trial = nullptr;
    QFont m_font;
    QFont m_previousFont; // the area's own, given back when this goes
    PaintArea* m_area = nullptr;
};
