// The state behind the window, timer and message operations, shared by their source files.
// The program has one thread, and so does this layer: nothing here may be called from another
// thread (a signal handler only writes to the stop pipe, see stop_signals.h). A procedure may
// call any window operation, so no reference into the state is held across a call to one.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/posix/types.h"
#include "platform/posix/window/atom_table.h"

namespace posix::window {

// A property name: an atom, or a case-folded string.
struct PropKey {
    ATOM atom = 0;
    std::string name;
    bool operator<(const PropKey& other) const
    {
        return atom != other.atom ? atom < other.atom : name < other.name;
    }
};

struct WindowClass {
    ATOM atom;
    HINSTANCE instance;
    WNDPROC procedure;
};

struct Window {
    ATOM classAtom;
    HINSTANCE classInstance;
    WNDPROC procedure;
    HWND parent;
    bool destroying;
    std::map<PropKey, HANDLE> props;
};

struct Timer {
    HWND window;
    UINT_PTR id;
    TIMERPROC procedure;
    uint64_t periodMs;
    uint64_t dueMs;
};

struct WindowState {
    std::deque<MSG> queue;
    std::map<UINT_PTR, Window> windows;
    UINT_PTR nextWindowHandle = 0x10020;
    std::vector<WindowClass> classes;
    AtomTable classAtoms;
    AtomTable localAtoms;
    std::vector<Timer> timers;  // in creation order, which breaks ties between due timers
    UINT_PTR nextThreadTimerId = 1;
};

constexpr size_t kPostedMessageLimit = 10000;  // a full queue refuses posts, as on Windows

WindowState& State();

// The window filter of PeekMessageA that asks for thread messages only.
inline HWND ThreadMessagesOnly()
{
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1));
}

// Whether a message for `window` passes PeekMessageA's window filter.
inline bool MatchesWindowFilter(HWND window, HWND filter)
{
    return filter == nullptr || filter == window ||
           (filter == ThreadMessagesOnly() && window == nullptr);
}

inline UINT_PTR HandleKey(HWND window)
{
    return reinterpret_cast<UINT_PTR>(window);
}

// The live window record behind a handle, or nullptr.
Window* FindWindowRecord(WindowState& state, HWND window);

// The registered class that a class name (or MAKEINTATOM) and instance name.
bool LookUpClass(WindowState& state, LPCSTR className, HINSTANCE instance, WindowClass* out);

// Timer helpers for the message queue.
// The earliest due time of any timer, or kNoTimerDue.
uint64_t EarliestTimerDue(const WindowState& state);
// Produces a WM_TIMER message for the earliest due timer that matches the filter; when
// `remove` is set the timer is re-armed one period on. False when no timer is due.
bool TakeDueTimerMessage(WindowState& state, uint64_t nowMs, HWND filter, MSG* msg, bool remove);
void RemoveTimersOf(WindowState& state, HWND window);

}  // namespace posix::window
