#include "support/window_inspect.h"

#include "platform/posix/window/window_state.h"

namespace posix::window {

size_t CountLiveWindows()
{
    return State().windows.size();
}

size_t CountLiveTimers()
{
    return State().timers.size();
}

size_t CountQueuedMessages()
{
    return State().queue.size();
}

std::vector<HWND> LiveWindowsOfClass(LPCSTR className)
{
    WindowState& state = State();
    std::vector<HWND> found;
    ATOM atom = state.classAtoms.Find(className);
    for (const auto& entry : state.windows) {
        if (atom != 0 && entry.second.classAtom == atom) {
            found.push_back(reinterpret_cast<HWND>(entry.first));
        }
    }
    return found;
}

ATOM FindLocalAtom(LPCSTR name)
{
    return State().localAtoms.Find(name);
}

}  // namespace posix::window
