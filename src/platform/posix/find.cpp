// PLACEHOLDER
#include "platform/win32.h"
HANDLE WINAPI FindFirstFileA(LPCSTR, LPWIN32_FIND_DATAA) { return INVALID_HANDLE_VALUE; }
BOOL WINAPI FindClose(HANDLE) { return FALSE; }
BOOL WINAPI FileTimeToLocalFileTime(const FILETIME*, LPFILETIME) { return FALSE; }
BOOL WINAPI FileTimeToDosDateTime(const FILETIME*, LPWORD, LPWORD) { return FALSE; }
