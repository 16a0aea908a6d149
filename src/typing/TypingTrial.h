// The typing trial: times an attempt at typing the password again and keeps
// the answer, the match message with its time or the comparison line of a
// mistyped password. The clock is the platform's tick count.
#pragma once

#include "typing/ResultLine.h"

#include <cstdint>
#include <string_view>

class TypingTrial {
public:
    // Every change of the typing field's text, the program's own emptying
    // included: the first one after a check or at start-up starts the clock.
    void OnTextChanged();

    // Checks `typed` against `password`: stops the clock and keeps the match
    // message or the comparison line. An empty `typed` keeps the result line
    // and returns false; otherwise the attempt was checked and the field is
    // to be emptied.
    bool Check(std::string_view password, std::string_view typed);

    // A new password: no best time yet and an empty result.
    void NewPassword();

    std::uint32_t StartTime() const { return m_startTime; }
    std::uint32_t BestTime() const { return m_bestTime; }
    const ResultLine& Result() const { return m_result; }

private:
    std::uint32_t m_bestTime = 0;  // ms; 0: none yet for this password
    std::uint32_t m_startTime = 0; // tick count; 0: not started
    ResultLine m_result;           // shown until the next check or password
};
