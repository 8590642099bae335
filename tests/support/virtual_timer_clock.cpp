#include "support/virtual_timer_clock.h"

namespace posix::window {

bool VirtualTimerClock::AdvanceForWait(uint64_t untilMs)
{
    ++waits_;
    if (untilMs != kNoTimerDue && untilMs > now_) {
        now_ = untilMs;
    }
    // With nothing to wait for the wait would never end on a clock that does not move: end it.
    return true;
}

void VirtualTimerClock::Advance(uint64_t ms)
{
    now_ = (ms > UINT64_MAX - now_) ? UINT64_MAX : now_ + ms;
}

}  // namespace posix::window
