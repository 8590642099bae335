// PLACEHOLDER: replaced by locks, clock, error mode and string resources.
#include "platform/win32.h"

DWORD WINAPI GetFileSize(HANDLE, LPDWORD) { return 0xFFFFFFFF; }
BOOL WINAPI LockFile(HANDLE, DWORD, DWORD, DWORD, DWORD) { return FALSE; }
BOOL WINAPI UnlockFile(HANDLE, DWORD, DWORD, DWORD, DWORD) { return FALSE; }
void WINAPI GetLocalTime(LPSYSTEMTIME t) { *t = SYSTEMTIME{}; }
void WINAPI Sleep(DWORD) {}
UINT WINAPI SetErrorMode(UINT) { return 0; }
int WINAPI LoadStringA(HINSTANCE, UINT, LPSTR out, int size)
{
    if (size > 0) out[0] = '\0';
    return 0;
}
