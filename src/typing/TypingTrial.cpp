#include "typing/TypingTrial.h"

#include "platform/Clock.h"
#include "typing/ComparisonLine.h"
#include "typing/MatchTime.h"

void TypingTrial::OnTextChanged() {
    if (m_startTime == 0) {
        m_startTime = platform::Clock::Current().Milliseconds();
    }
}

bool TypingTrial::Check(std::string_view password, std::string_view typed) {
    const std::uint32_t measured = ElapsedTime(platform::Clock::Current().Milliseconds(), m_startTime);
    m_startTime = 0;
    if (typed.empty()) {
        // The clock stays stopped: the next keystroke starts a new attempt.
        return false;
    }
    m_result = ResultLine{};
    if (typed == password) {
        m_result.best = RecordMatchTime(m_bestTime, measured);
        m_result.message = MatchMessage(measured);
        m_result.milliseconds = measured;
    } else {
        m_result.glyphs = ComparisonLine(password, typed);
    }
    return true;
}

void TypingTrial::NewPassword() {
    m_bestTime = 0;
    m_result = ResultLine{};
}
