#include "platform/posix/window/window_state.h"

namespace posix::window {

WindowState& State()
{
    static WindowState state;
    return state;
}

Window* FindWindowRecord(WindowState& state, HWND window)
{
    auto found = state.windows.find(HandleKey(window));
    return found != state.windows.end() ? &found->second : nullptr;
}

}  // namespace posix::window
