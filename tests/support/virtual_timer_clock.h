// A timer clock for tests: it only moves when told to, or when a wait would otherwise sleep, so
// minutes of timer time pass in microseconds.
#pragma once

#include <cstdint>

#include "platform/posix/window/timer_clock.h"

namespace posix::window {

class VirtualTimerClock : public TimerClock {
public:
    explicit VirtualTimerClock(uint64_t startMs = 0) : now_(startMs) {}
    uint64_t NowMs() override { return now_; }
    // Jumps to the moment the wait would have slept until and ends the wait at once.
    bool AdvanceForWait(uint64_t untilMs) override;
    void Advance(uint64_t ms);
    // How many times a wait handed its sleep to this clock.
    unsigned waits() const { return waits_; }

private:
    uint64_t now_;
    unsigned waits_ = 0;
};

}  // namespace posix::window
