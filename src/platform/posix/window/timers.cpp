// Timers: each falls due one period after it is set and again one period after each expiry.
// They are not queued: the message queue makes a WM_TIMER from a due timer when it is asked for
// a message and has nothing posted.
#include <algorithm>

#include "platform/posix/window/timer_clock.h"
#include "platform/posix/window/window_state.h"
#include "platform/win32.h"

using namespace posix::window;

namespace {

constexpr uint64_t kMinimumPeriodMs = 10;          // shorter periods are raised to this
constexpr uint64_t kMaximumPeriodMs = 0x7FFFFFFF;  // longer ones are cut to this

uint64_t AddSaturating(uint64_t a, uint64_t b)
{
    return b > UINT64_MAX - a ? UINT64_MAX : a + b;
}

std::vector<Timer>::iterator FindTimer(WindowState& state, HWND window, UINT_PTR id)
{
    return std::find_if(state.timers.begin(), state.timers.end(),
                        [&](const Timer& t) { return t.window == window && t.id == id; });
}

// A fresh identifier for a timer without a window.
UINT_PTR NewThreadTimerId(WindowState& state)
{
    for (;;) {
        UINT_PTR id = state.nextThreadTimerId++;
        if (id != 0 && FindTimer(state, nullptr, id) == state.timers.end()) {
            return id;
        }
    }
}

}  // namespace

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    uint64_t period = std::clamp<uint64_t>(elapse, kMinimumPeriodMs, kMaximumPeriodMs);
    uint64_t now = CurrentTimerClock().NowMs();
    WindowState& state = State();
    if (window != nullptr) {
        Window* record = FindWindowRecord(state, window);
        if (record == nullptr || record->destroying) {
            return 0;
        }
    } else if (id == 0 || FindTimer(state, nullptr, id) == state.timers.end()) {
        id = NewThreadTimerId(state);
    }
    Timer timer{window, id, proc, period, AddSaturating(now, period)};
    auto existing = FindTimer(state, window, id);
    if (existing != state.timers.end()) {
        *existing = timer;  // setting a timer again restarts it
    } else {
        state.timers.push_back(timer);
    }
    // A window timer's result only has to be non-zero; an identifier of 0 is still usable.
    return id != 0 ? id : 1;
}

namespace posix::window {

uint64_t EarliestTimerDue(const WindowState& state)
{
    uint64_t earliest = kNoTimerDue;
    for (const Timer& timer : state.timers) {
        earliest = std::min(earliest, timer.dueMs);
    }
    return earliest;
}

bool TakeDueTimerMessage(WindowState& state, uint64_t nowMs, HWND filter, MSG* msg, bool remove)
{
    Timer* due = nullptr;
    for (Timer& timer : state.timers) {
        if (timer.dueMs <= nowMs && MatchesWindowFilter(timer.window, filter) &&
            (due == nullptr || timer.dueMs < due->dueMs)) {
            due = &timer;
        }
    }
    if (due == nullptr) {
        return false;
    }
    *msg = MSG{due->window,
               WM_TIMER,
               due->id,
               reinterpret_cast<LPARAM>(due->procedure),
               static_cast<DWORD>(nowMs),
               POINT{0, 0}};
    if (remove) {
        // Periods missed while nobody asked collapse into this one message.
        due->dueMs = AddSaturating(due->dueMs, due->periodMs);
        if (due->dueMs <= nowMs) {
            due->dueMs = AddSaturating(nowMs, due->periodMs);
        }
    }
    return true;
}

void RemoveTimersOf(WindowState& state, HWND window)
{
    state.timers.erase(std::remove_if(state.timers.begin(), state.timers.end(),
                                      [&](const Timer& t) { return t.window == window; }),
                       state.timers.end());
}

}  // namespace posix::window

BOOL WINAPI KillTimer(HWND window, UINT_PTR id)
{
    WindowState& state = State();
    auto found = FindTimer(state, window, id);
    if (found == state.timers.end()) {
        return FALSE;
    }
    state.timers.erase(found);
    return TRUE;
}
