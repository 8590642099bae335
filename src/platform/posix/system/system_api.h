// Module, names, time, error mode and string resources.
#pragma once

#include "platform/posix/types.h"

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR out, DWORD size);
BOOL WINAPI GetComputerNameA(LPSTR out, LPDWORD size);
BOOL WINAPI GetUserNameA(LPSTR out, LPDWORD size);
void WINAPI GetLocalTime(LPSYSTEMTIME time);
void WINAPI Sleep(DWORD milliseconds);
DWORD WINAPI GetTickCount();
UINT WINAPI SetErrorMode(UINT mode);
// The calling thread's last error, as the operations that set it leave it (CreateProcessA).
DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD error);
int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR out, int size);
// Fills `buffer` from the kernel's random source (getrandom). Only the system's preferred
// generator is offered: `algorithm` must be null and `flags` BCRYPT_USE_SYSTEM_PREFERRED_RNG.
NTSTATUS WINAPI BCryptGenRandom(BCRYPT_ALG_HANDLE algorithm, PUCHAR buffer, ULONG length,
                                ULONG flags);
// Replaces each "%NAME%" of `source` that names a variable of the process environment by its
// value, by the Windows rule (text/percent_names.h); names are compared as written, since the
// environment's are case-sensitive here. Returns the characters the whole result needs with its
// terminator; the result is written only when that fits `size`, and 0 is returned for a null
// source.
DWORD WINAPI ExpandEnvironmentStringsA(LPCSTR source, LPSTR out, DWORD size);
