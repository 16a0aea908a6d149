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

    // The trial's result changed; a check's result is read out too: Qt 6.4
    // has no announcement and sends a changed name without its text, but a
    // screen reader reads a notification out as it comes to show.
    enum class ReadOut { No, Yes };
    void Redraw(ReadOut readOut = ReadOut::No);

private:
    void Paint(QPainter& painter) const;

    const TypingTrial* m_trial = nullptr;
    QFont m_font;
    QFont m_previousFont; // the area's own, given back when this goes
    PaintArea* m_area = nullptr;
};
