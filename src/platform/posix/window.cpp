// PLACEHOLDER: replaced by the windows, timers and message queue.
#include "platform/win32.h"

ATOM WINAPI RegisterClassA(const WNDCLASSA*) { return 0; }
BOOL WINAPI UnregisterClassA(LPCSTR, HINSTANCE) { return FALSE; }
HWND WINAPI CreateWindowExA(DWORD, LPCSTR, LPCSTR, DWORD, int, int, int, int, HWND, HMENU,
                            HINSTANCE, LPVOID)
{
    return nullptr;
}
BOOL WINAPI DestroyWindow(HWND) { return FALSE; }
BOOL WINAPI IsWindow(HWND) { return FALSE; }
LRESULT WINAPI DefWindowProcA(HWND, UINT, WPARAM, LPARAM) { return 0; }
HICON WINAPI LoadIconA(HINSTANCE, LPCSTR) { return nullptr; }
HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR) { return nullptr; }
ATOM WINAPI AddAtomA(LPCSTR) { return 0; }
BOOL WINAPI SetPropA(HWND, LPCSTR, HANDLE) { return FALSE; }
HANDLE WINAPI GetPropA(HWND, LPCSTR) { return nullptr; }
HANDLE WINAPI RemovePropA(HWND, LPCSTR) { return nullptr; }
UINT_PTR WINAPI SetTimer(HWND, UINT_PTR, UINT, TIMERPROC) { return 0; }
BOOL WINAPI KillTimer(HWND, UINT_PTR) { return FALSE; }
BOOL WINAPI PeekMessageA(LPMSG, HWND, UINT, UINT, UINT) { return FALSE; }
BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }
LRESULT WINAPI DispatchMessageA(const MSG*) { return 0; }
BOOL WINAPI PostMessageA(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
BOOL WINAPI WaitMessage() { return FALSE; }
