#include "typing/MatchTime.h"

bool RecordMatchTime(std::uint32_t& bestTime, std::uint32_t measured) {
    if (bestTime == 0) {
        bestTime = measured;
        return false;
    }
    if (bestTime >= measured) {
        bestTime = measured;
        return true;
    }
    return false;
}
