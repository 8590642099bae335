// PLACEHOLDER: replaced by the PE version resource reader.
#include "platform/win32.h"

DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR, LPDWORD handle)
{
    if (handle) *handle = 0;
    return 0;
}
BOOL WINAPI GetFileVersionInfoA(LPCSTR, DWORD, DWORD, LPVOID) { return FALSE; }
BOOL WINAPI VerQueryValueA(LPCVOID, LPCSTR, LPVOID*, UINT*) { return FALSE; }
