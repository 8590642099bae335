// The system's monotonic clock for timers, and the switch to another clock.
#include "platform/posix/window/timer_clock.h"

#include <chrono>

namespace posix::window {
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

TimerClock* gInstalledClock = nullptr;

}  // namespace

void SetTimerClock(TimerClock* clock)
{
    gInstalledClock = clock;
}

TimerClock& CurrentTimerClock()
{
    return gInstalledClock != nullptr ? *gInstalledClock : SystemClock();
}

}  // namespace posix::window
