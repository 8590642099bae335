// Byte-string operations of the system, as the Win32 API defines them.
#pragma once

#include "platform/posix/types.h"

LPSTR WINAPI lstrcpyA(LPSTR dst, LPCSTR src);
// Copies at most max - 1 bytes and always terminates when max > 0.
LPSTR WINAPI lstrcpynA(LPSTR dst, LPCSTR src, int max);
LPSTR WINAPI lstrcatA(LPSTR dst, LPCSTR src);
int WINAPI lstrlenA(LPCSTR s);
// Case-insensitive comparison: negative, zero or positive.
int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b);
// Upper-cases a to z in place and returns its argument.
LPSTR WINAPI CharUpperA(LPSTR s);
// Formats %s, %c, %d, %i, %u, %x, %X, %lu, %ld, %lx and %% into at most 1024 bytes,
// as the real call does; returns the number of characters written.
int wsprintfA(LPSTR out, LPCSTR format, ...);
