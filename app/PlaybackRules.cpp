#include "PlaybackRules.h"

namespace quillon {

int NextPlaybackFrame(int current, int start, int end, bool loop) {
    if (current < end)
        return current + 1;
    return loop ? start : current;
}

int TimerIntervalForRate(int rate) {
    const int quotient = 1000 / rate;
    const int twiceRemainder = 2 * (1000 % rate);
    if (twiceRemainder > rate || (twiceRemainder == rate && quotient % 2 != 0))
        return quotient + 1;
    return quotient;
}

} // namespace quillon
