// The typing test: times an attempt at typing the password again, checks it
// and shows the answer in the result area under the typing field, the match
// message with its time or the comparison line of a mistyped password.
#pragma once

#include "typing/ResultLine.h"

#include <QFont>

#include <cstdint>
#include <string_view>

class PaintArea;
class QPainter;

class TypingTest {
public:
    TypingTest() = default;
    ~TypingTest();
    TypingTest(const TypingTest&) = delete;
    TypingTest& operator=(const TypingTest&) = delete;

    // Takes the result area over: its font becomes 10-point "MS UI Gothic"
    // and it paints the kept result line from now on.
    void Attach(PaintArea* area);

    // Every change of the typing field's text, the program's own emptying
    // included: the first one after a check or at start-up starts the clock.
    void OnTextChanged();

    // Checks `typed` against `password` (code page 932 bytes): stops the clock
    // and keeps the match message or the comparison line. An empty `typed` is
    // refused in a message box and leaves the result line as it was. Returns
    // whether the attempt was checked: the field is then to be emptied.
    bool Check(std::string_view password, std::string_view typed);

    // A new password: no best time yet and an empty result area.
    void NewPassword();

    std::uint32_t StartTime() const { return m_startTime; }
    std::uint32_t BestTime() const { return m_bestTime; }
    const ResultLine& Result() const { return m_result; }

private:
    void Paint(QPainter& painter) const;
    void Redraw();

    std::uint32_t m_bestTime = 0;  // ms; 0: none yet for this password
    std::uint32_t m_startTime = 0; // tick count; 0: not started
    ResultLine m_result;           // shown until the next check or password
    QFont m_font;
    QFont m_previousFont; // the area's own, given back when the test goes
    PaintArea* m_area = nullptr;
};
