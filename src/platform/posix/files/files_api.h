// Directory search, file times, streams with share modes, file length and byte-range locks.
#pragma once

#include <cstdio>

#include "platform/posix/types.h"

HANDLE WINAPI FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data);
BOOL WINAPI FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data);
BOOL WINAPI FindClose(HANDLE find);
BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* utc, LPFILETIME local);
BOOL WINAPI FileTimeToDosDateTime(const FILETIME* time, LPWORD date, LPWORD dosTime);

// Opens a stream as the C runtime does. "t" in the mode gives the runtime's text mode on
// reading: carriage returns are dropped and the first Ctrl-Z ends the file. Every stream is
// opened close-on-exec, so started programs inherit none of them.
FILE* _fsopen(const char* path, const char* mode, int shareFlag);
int _fileno(FILE* stream);
intptr_t _get_osfhandle(int fd);

DWORD WINAPI GetFileSize(HANDLE file, LPDWORD sizeHigh);
// Moves the descriptor's offset (FILE_BEGIN only); the end of the file is then set there.
BOOL WINAPI SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER newPointer,
                             DWORD moveMethod);
BOOL WINAPI SetEndOfFile(HANDLE file);
BOOL WINAPI LockFile(HANDLE file, DWORD offsetLow, DWORD offsetHigh, DWORD lengthLow,
                     DWORD lengthHigh);
BOOL WINAPI UnlockFile(HANDLE file, DWORD offsetLow, DWORD offsetHigh, DWORD lengthLow,
                       DWORD lengthHigh);
