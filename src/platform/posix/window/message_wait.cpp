// Waiting for input: the thread sleeps in poll() until the earliest timer falls due, a stop
// signal arrives (it becomes a quit message) or the wait's own time runs out. Only this thread
// posts, so nothing else can queue a message while it sleeps.
#include <poll.h>

#include <algorithm>
#include <climits>

#include "platform/posix/window/stop_signals.h"
#include "platform/posix/window/timer_clock.h"
#include "platform/posix/window/window_state.h"
#include "platform/win32.h"

using namespace posix::window;

namespace {

bool InputWaiting(uint64_t nowMs)
{
    TakeStopSignals();
    WindowState& state = State();
    return !state.queue.empty() || EarliestTimerDue(state) <= nowMs;
}

// Sleeps up to `ms` milliseconds (without end for -1), or until a stop signal arrives.
void PollFor(int ms)
{
    pollfd stopPipe{StopSignalPipe(), POLLIN, 0};
    poll(&stopPipe, 1, ms);  // poll() passes over a descriptor of -1
}

int SleepMsUntil(uint64_t untilMs, uint64_t nowMs)
{
    if (untilMs == kNoTimerDue) {
        return -1;
    }
    return static_cast<int>(std::min<uint64_t>(untilMs - nowMs, INT_MAX));
}

}  // namespace

DWORD WINAPI MsgWaitForMultipleObjectsEx(DWORD count, const HANDLE*, DWORD milliseconds, DWORD,
                                         DWORD)
{
    if (count != 0) {
        return WAIT_FAILED;
    }
    TimerClock& clock = CurrentTimerClock();
    uint64_t start = clock.NowMs();
    uint64_t deadline = milliseconds == INFINITE ? kNoTimerDue : start + milliseconds;
    for (;;) {
        uint64_t now = clock.NowMs();
        if (InputWaiting(now)) {
            return WAIT_OBJECT_0;
        }
        if (now >= deadline) {
            return WAIT_TIMEOUT;
        }
        uint64_t until = std::min(EarliestTimerDue(State()), deadline);
        if (clock.AdvanceForWait(until)) {
            // The clock moved itself on instead of sleeping: look once more, then return.
            return InputWaiting(clock.NowMs()) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
        }
        PollFor(SleepMsUntil(until, now));
    }
}
