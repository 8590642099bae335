// The message queue. The program runs on one thread, so one queue serves the process. Posted
// messages come out first, in order; a WM_TIMER is made only when nothing posted matches, as
// the real queue does it.
#include <algorithm>

#include "platform/posix/window/timer_clock.h"
#include "platform/posix/window/window_state.h"
#include "platform/win32.h"

using namespace posix::window;

namespace {

bool MatchesFilter(const MSG& msg, HWND window, UINT filterMin, UINT filterMax)
{
    if (!MatchesWindowFilter(msg.hwnd, window)) {
        return false;
    }
    return (filterMin == 0 && filterMax == 0) ||
           (msg.message >= filterMin && msg.message <= filterMax);
}

bool TimerMessagesWanted(UINT filterMin, UINT filterMax)
{
    return (filterMin == 0 && filterMax == 0) || (WM_TIMER >= filterMin && WM_TIMER <= filterMax);
}

// True when a timer procedure named by a WM_TIMER message belongs to a live timer, so a
// message can never make us call an arbitrary address.
bool IsLiveTimerProcedure(const MSG& msg)
{
    WindowState& state = State();
    return std::any_of(state.timers.begin(), state.timers.end(), [&](const Timer& t) {
        return t.window == msg.hwnd && t.id == msg.wParam &&
               reinterpret_cast<LPARAM>(t.procedure) == msg.lParam;
    });
}

}  // namespace

BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT remove)
{
    if (msg == nullptr) {
        return FALSE;
    }
    bool removing = (remove & PM_REMOVE) != 0;
    uint64_t now = CurrentTimerClock().NowMs();
    WindowState& state = State();
    auto posted = std::find_if(state.queue.begin(), state.queue.end(), [&](const MSG& m) {
        return MatchesFilter(m, window, filterMin, filterMax);
    });
    if (posted != state.queue.end()) {
        *msg = *posted;
        if (removing) {
            state.queue.erase(posted);
        }
        return TRUE;
    }
    if (!TimerMessagesWanted(filterMin, filterMax)) {
        return FALSE;
    }
    return TakeDueTimerMessage(state, now, window, msg, removing) ? TRUE : FALSE;
}

BOOL WINAPI TranslateMessage(const MSG*)
{
    // Only key messages are translated, and this platform delivers none.
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg)
{
    if (msg == nullptr) {
        return 0;
    }
    if (msg->message == WM_TIMER && msg->lParam != 0) {
        if (IsLiveTimerProcedure(*msg)) {
            reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
        }
        return 0;
    }
    if (msg->hwnd == nullptr) {
        return 0;  // a thread message has no procedure to go to
    }
    Window* record = FindWindowRecord(State(), msg->hwnd);
    if (record == nullptr) {
        return 0;  // the window is gone
    }
    return record->procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    uint64_t now = CurrentTimerClock().NowMs();
    WindowState& state = State();
    if (window != nullptr && FindWindowRecord(state, window) == nullptr) {
        return FALSE;
    }
    if (state.queue.size() >= kPostedMessageLimit) {
        return FALSE;
    }
    state.queue.push_back(MSG{window, message, wParam, lParam, static_cast<DWORD>(now),
                              POINT{0, 0}});
    return TRUE;
}
