// Starting programs.
#pragma once

#include "platform/posix/types.h"

#define STARTF_USESHOWWINDOW 0x00000001

struct STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    BYTE* lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
};
typedef STARTUPINFOA* LPSTARTUPINFOA;

struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};
typedef PROCESS_INFORMATION* LPPROCESS_INFORMATION;

// Starts the program that the command line names (split by the Windows rules, run without a
// shell, in a session of its own, with none of our open files) and does not wait for it.
// Inheriting handles passes on the descriptors registered inheritable
// (process/inheritable_descriptors.h), as Windows passes on the inheritable handles. Only what
// starting a setup program needs is supported: no application name, no creation flags,
// environment or folder of its own; anything else fails. The handles handed back own nothing
// (the program is never waited for) and are only closed (CloseHandle, with the file handles).
BOOL WINAPI CreateProcessA(LPCSTR applicationName, LPSTR commandLine,
                           LPSECURITY_ATTRIBUTES processAttributes,
                           LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles,
                           DWORD creationFlags, LPVOID environment, LPCSTR currentDirectory,
                           LPSTARTUPINFOA startupInfo, LPPROCESS_INFORMATION processInformation);
