// The system's monotonic clock for timers, the virtual clock for tests, and the switch between.
#include "platform/posix/window/timer_clock.h"

#include <atomic>
#include <chrono>

namespace posix_platform {
namespace {

class SteadyTimerClock : public TimerClock {
public:
    uint64_t NowMs() override
    {
        auto elapsed = std::chrono::steady_clock::now() - start_;
        return static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    }
    bool AdvanceForWait(uint64_t) override { return false; }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

SteadyTimerClock& SystemClock()
{
    static SteadyTimerClock clock;
    return clock;
}

std::atomic<TimerClock*> gInstalledClock{nullptr};

}  // namespace

bool VirtualTimerClock::AdvanceForWait(uint64_t dueMs)
{
    ++waits_;
    if (dueMs != kNoTimerDue && dueMs > now_) {
        now_ = dueMs;
    }
    // With nothing due the wait would never end on a clock that does not move: return anyway.
    return true;
}

void VirtualTimerClock::Advance(uint64_t ms)
{
    now_ = (ms > UINT64_MAX - now_) ? UINT64_MAX : now_ + ms;
}

void SetTimerClock(TimerClock* clock) { gInstalledClock.store(clock); }

TimerClock& CurrentTimerClock()
{
    TimerClock* clock = gInstalledClock.load();
    return clock != nullptr ? *clock : SystemClock();
}

}  // namespace posix_platform
