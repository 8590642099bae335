// The clock that window timers run on: the system's monotonic clock, replaceable by tests.
#pragma once

#include <cstdint>

namespace posix::window {

constexpr uint64_t kNoTimerDue = UINT64_MAX;

// A monotonic millisecond clock. NowMs() must not call back into the window layer.
class TimerClock {
public:
    virtual ~TimerClock() = default;
    virtual uint64_t NowMs() = 0;
    // Called by a message wait that would sleep until `untilMs` (kNoTimerDue: no end). True
    // means the clock has moved itself on instead and the wait only looks, without sleeping;
    // false makes the wait sleep in real time.
    virtual bool AdvanceForWait(uint64_t untilMs) = 0;
};

// Installs `clock` for every timer operation; nullptr restores the system's monotonic clock.
// Install it before creating timers: due times are kept on the clock they were set with.
void SetTimerClock(TimerClock* clock);
TimerClock& CurrentTimerClock();

}  // namespace posix::window
