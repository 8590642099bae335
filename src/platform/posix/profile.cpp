// PLACEHOLDER: replaced by the profile reader and WIN.INI writer.
#include "platform/win32.h"

DWORD WINAPI GetPrivateProfileStringA(LPCSTR, LPCSTR, LPCSTR d, LPSTR out, DWORD size, LPCSTR)
{
    if (size == 0) return 0;
    lstrcpynA(out, d ? d : "", static_cast<int>(size));
    return static_cast<DWORD>(lstrlenA(out));
}
UINT WINAPI GetPrivateProfileIntA(LPCSTR, LPCSTR, int d, LPCSTR) { return static_cast<UINT>(d); }
DWORD WINAPI GetProfileStringA(LPCSTR s, LPCSTR k, LPCSTR d, LPSTR out, DWORD size)
{
    return GetPrivateProfileStringA(s, k, d, out, size, nullptr);
}
BOOL WINAPI WriteProfileStringA(LPCSTR, LPCSTR, LPCSTR) { return FALSE; }
