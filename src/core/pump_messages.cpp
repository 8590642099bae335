#include "core/pump_messages.h"

#include "platform/win32.h"

bool PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit request queued for whoever decides to honour it.
            PostMessageA(msg.hwnd, WM_QUIT, msg.wParam, msg.lParam);
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}
