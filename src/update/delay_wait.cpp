// PLACEHOLDER: replaced by the delay wait.
#include "update/delay_wait.h"

ATOM RegisterDelayClass() { return 0; }
BOOL WaitForDelay(DWORD) { return TRUE; }
void UnregisterDelayClass() {}
extern "C" LRESULT CALLBACK DelayWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return DefWindowProcA(w, m, wp, lp);
}
