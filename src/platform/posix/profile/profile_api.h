// INI profile reading and the user's WIN.INI.
#pragma once

#include "platform/posix/types.h"

DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR out,
                                      DWORD size, LPCSTR fileName);
// Every section name of the file, each ended by a NUL, the list ended by one more NUL.
DWORD WINAPI GetPrivateProfileSectionNamesA(LPSTR out, DWORD size, LPCSTR fileName);
UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR key, int defaultValue, LPCSTR fileName);

// The user's WIN.INI: $HOME/.config/win.ini.
DWORD WINAPI GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR out,
                               DWORD size);
BOOL WINAPI WriteProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value);
