// PLACEHOLDER
#include "platform/win32.h"
UINT WINAPI WinExec(LPCSTR, UINT) { return 2; }
