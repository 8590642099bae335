// Window classes: registered per module instance under a case-insensitive name.
#include <algorithm>

#include "platform/posix/window/window_state.h"
#include "platform/win32.h"

using namespace posix::window;

namespace {

// The class atom that a class name argument stands for (a name or MAKEINTATOM), or 0.
ATOM ClassAtomOf(WindowState& state, LPCSTR className)
{
    if (className == nullptr) {
        return 0;
    }
    if (IsIntegerAtom(className)) {
        return static_cast<ATOM>(reinterpret_cast<UINT_PTR>(className));
    }
    return state.classAtoms.Find(className);
}

std::vector<WindowClass>::iterator FindClass(WindowState& state, ATOM atom, HINSTANCE instance)
{
    return std::find_if(state.classes.begin(), state.classes.end(), [&](const WindowClass& c) {
        return atom != 0 && c.atom == atom && c.instance == instance;
    });
}

}  // namespace

namespace posix::window {

bool LookUpClass(WindowState& state, LPCSTR className, HINSTANCE instance, WindowClass* out)
{
    auto found = FindClass(state, ClassAtomOf(state, className), instance);
    if (found == state.classes.end()) {
        return false;
    }
    *out = *found;
    return true;
}

}  // namespace posix::window

ATOM WINAPI RegisterClassA(const WNDCLASSA* windowClass)
{
    if (windowClass == nullptr || windowClass->lpfnWndProc == nullptr ||
        windowClass->cbClsExtra < 0 || windowClass->cbWndExtra < 0 ||
        windowClass->lpszClassName == nullptr || IsIntegerAtom(windowClass->lpszClassName)) {
        return 0;
    }
    WindowState& state = State();
    ATOM existing = state.classAtoms.Find(windowClass->lpszClassName);
    if (FindClass(state, existing, windowClass->hInstance) != state.classes.end()) {
        return 0;  // already registered for this instance
    }
    ATOM atom = existing != 0 ? existing : state.classAtoms.Add(windowClass->lpszClassName);
    if (atom == 0) {
        return 0;  // empty or over-long name, or no atom left
    }
    state.classes.push_back(WindowClass{atom, windowClass->hInstance, windowClass->lpfnWndProc});
    return atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE instance)
{
    WindowState& state = State();
    auto found = FindClass(state, ClassAtomOf(state, className), instance);
    if (found == state.classes.end()) {
        return FALSE;
    }
    // A class cannot go while a window of it lives: its procedure is still in use.
    for (const auto& entry : state.windows) {
        const Window& window = entry.second;
        if (window.classAtom == found->atom && window.classInstance == found->instance) {
            return FALSE;
        }
    }
    state.classes.erase(found);
    return TRUE;
}
