// Windows: creation with WM_CREATE, destruction with WM_DESTROY, and the default procedure.
// Handles are never reused, so a destroyed window's handle stays invalid. The session's stop
// signals are caught from the first window's creation to the last one's end.
#include <vector>

#include "platform/posix/window/stop_signals.h"
#include "platform/posix/window/window_state.h"
#include "platform/win32.h"

using namespace posix::window;

namespace {

// Adds the window record and returns its new handle, or nullptr.
HWND AddWindowRecord(WindowState& state, const WindowClass& windowClass, HWND parent)
{
    if (parent != nullptr && FindWindowRecord(state, parent) == nullptr) {
        return nullptr;
    }
    UINT_PTR key = state.nextWindowHandle;
    if (key > UINTPTR_MAX - 2 || state.windows.count(key) != 0) {
        return nullptr;  // handles exhausted
    }
    state.nextWindowHandle += 2;
    state.windows.emplace(
        key,
        Window{windowClass.atom, windowClass.instance, windowClass.procedure, parent, false, {}});
    return reinterpret_cast<HWND>(key);
}

}  // namespace

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param)
{
    WindowState& state = State();
    WindowClass windowClass{};
    if (!LookUpClass(state, className, instance, &windowClass)) {
        return nullptr;
    }
    HWND window = AddWindowRecord(state, windowClass, parent);
    if (window == nullptr) {
        return nullptr;
    }
    CatchStopSignals();
    CREATESTRUCTA create{
        param, instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
        title, className, exStyle};
    LRESULT result = windowClass.procedure(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create));
    if (result == -1) {
        DestroyWindow(window);
        return nullptr;
    }
    // The creation handling may have destroyed the window itself.
    return IsWindow(window) ? window : nullptr;
}

BOOL WINAPI DestroyWindow(HWND window)
{
    WindowState& state = State();
    Window* record = FindWindowRecord(state, window);
    if (record == nullptr || record->destroying) {
        return FALSE;
    }
    record->destroying = true;
    WNDPROC procedure = record->procedure;
    RemoveTimersOf(state, window);
    // The window is still valid, with its properties, while WM_DESTROY is handled.
    procedure(window, WM_DESTROY, 0, 0);

    // Collected first: destroying a child changes the map.
    std::vector<HWND> children;
    for (const auto& entry : state.windows) {
        if (entry.second.parent == window) {
            children.push_back(reinterpret_cast<HWND>(entry.first));
        }
    }
    for (HWND child : children) {
        DestroyWindow(child);
    }

    RemoveTimersOf(state, window);  // any set again while WM_DESTROY ran
    state.windows.erase(HandleKey(window));
    if (state.windows.empty()) {
        ReleaseStopSignals();
    }
    return TRUE;
}

BOOL WINAPI IsWindow(HWND window)
{
    WindowState& state = State();
    return FindWindowRecord(state, window) != nullptr ? TRUE : FALSE;
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM)
{
    // A close request destroys the window; nothing else has a default action here.
    if (message == WM_CLOSE) {
        DestroyWindow(window);
    }
    return 0;
}
