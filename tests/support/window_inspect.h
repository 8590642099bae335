// A read-only view of the POSIX window layer's state, for tests.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/posix/types.h"

namespace posix::window {

size_t CountLiveWindows();
size_t CountLiveTimers();
size_t CountQueuedMessages();
// The live windows whose class has this name (case ignored).
std::vector<HWND> LiveWindowsOfClass(LPCSTR className);
// The local atom of a name without adding it.
ATOM FindLocalAtom(LPCSTR name);

}  // namespace posix::window
