// A read-only view of the window layer's state, for tests and diagnostics.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/posix/types.h"

namespace posix_platform {

size_t CountLiveWindows();
size_t CountLiveTimers();
size_t CountQueuedMessages();
// The live windows whose class has this name (case ignored).
std::vector<HWND> LiveWindowsOfClass(LPCSTR className);
// The local atom of a name without adding it, and how many times it was added.
ATOM FindLocalAtom(LPCSTR name);
unsigned LocalAtomUseCount(ATOM atom);
// WM_TIMER messages taken off the queue since the process started.
uint64_t TimerMessagesTaken();

}  // namespace posix_platform
