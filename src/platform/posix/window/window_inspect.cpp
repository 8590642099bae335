#include "platform/posix/window/window_inspect.h"

#include "platform/posix/window/window_state.h"

namespace posix_platform {

size_t CountLiveWindows()
{
    WindowState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.windows.size();
}

size_t CountLiveTimers()
{
    WindowState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.timers.size();
}

size_t CountQueuedMessages()
{
    WindowState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.queue.size();
}

std::vector<HWND> LiveWindowsOfClass(LPCSTR className)
{
    WindowState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
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
    WindowState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.localAtoms.Find(name);
}

unsigned LocalAtomUseCount(ATOM atom)
{
    WindowState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.localAtoms.UseCount(atom);
}

uint64_t TimerMessagesTaken()
{
    WindowState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    return state.timerMessagesMade;
}

}  // namespace posix_platform
