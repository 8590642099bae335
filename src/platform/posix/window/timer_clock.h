// The clock that window timers run on, replaceable by tests.
#pragma once

#include <cstdint>

namespace posix_platform {

constexpr uint64_t kNoTimerDue = UINT64_MAX;

// A monotonic millisecond clock. Implementations must not call back into the window layer
// from NowMs(); AdvanceForWait() may (it runs with no lock held).
class TimerClock {
public:
    virtual ~TimerClock() = default;
    virtual uint64_t NowMs() = 0;
    // Called by WaitMessage when nothing is queued and no timer is due; `dueMs` is the earliest
    // timer's due time or kNoTimerDue. Returning true ends the wait at once (a virtual clock
    // moves itself forward instead of sleeping); false makes WaitMessage sleep in real time.
    virtual bool AdvanceForWait(uint64_t dueMs) = 0;
};

// A clock that only moves when told to, or when WaitMessage would otherwise sleep: it then
// jumps straight to the next due timer, so minutes of timer time pass in microseconds.
class VirtualTimerClock : public TimerClock {
public:
    explicit VirtualTimerClock(uint64_t startMs = 0) : now_(startMs) {}
    uint64_t NowMs() override { return now_; }
    bool AdvanceForWait(uint64_t dueMs) override;
    void Advance(uint64_t ms);
    // How many times WaitMessage handed its wait to this clock.
    unsigned waits() const { return waits_; }

private:
    uint64_t now_;
    unsigned waits_ = 0;
};

// Installs `clock` for every timer operation; nullptr restores the system's monotonic clock.
// Install it before creating timers: due times are kept on the clock they were set with.
void SetTimerClock(TimerClock* clock);
TimerClock& CurrentTimerClock();

}  // namespace posix_platform
