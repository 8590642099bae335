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

struct BY_HANDLE_FILE_INFORMATION {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD dwVolumeSerialNumber;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD nNumberOfLinks;
    DWORD nFileIndexHigh;
    DWORD nFileIndexLow;
};
typedef BY_HANDLE_FILE_INFORMATION* LPBY_HANDLE_FILE_INFORMATION;

// Opens a file for reading, writing or both (OPEN_EXISTING, or OPEN_ALWAYS, which creates a
// missing file with its folder's read and write bits). Opening never blocks (a FIFO without a
// reader fails at once) and never takes a controlling terminal; FILE_FLAG_OPEN_REPARSE_POINT
// refuses a symbolic link in the last place instead of following it. Share modes are not
// enforced. The handle is closed with CloseHandle, or handed to the runtime.
HANDLE WINAPI CreateFileA(LPCSTR path, DWORD access, DWORD shareMode,
                          LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                          HANDLE templateFile);
// FILE_TYPE_DISK for a file or folder, FILE_TYPE_CHAR for a character device, FILE_TYPE_PIPE
// for a FIFO or socket.
DWORD WINAPI GetFileType(HANDLE file);
// Attributes (folder or normal), size, number of names (hard links), volume and index; the
// times are left zero.
BOOL WINAPI GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION information);
BOOL WINAPI CloseHandle(HANDLE handle);
// The runtime's descriptor for an open handle (_O_APPEND: every write goes to the end), and a
// stream on it.
int _open_osfhandle(intptr_t handle, int flags);
FILE* _fdopen(int fd, const char* mode);
int _close(int fd);

DWORD WINAPI GetFileSize(HANDLE file, LPDWORD sizeHigh);
// Moves the descriptor's offset (FILE_BEGIN only); the end of the file is then set there.
BOOL WINAPI SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER newPointer,
                             DWORD moveMethod);
BOOL WINAPI SetEndOfFile(HANDLE file);
BOOL WINAPI LockFile(HANDLE file, DWORD offsetLow, DWORD offsetHigh, DWORD lengthLow,
                     DWORD lengthHigh);
BOOL WINAPI UnlockFile(HANDLE file, DWORD offsetLow, DWORD offsetHigh, DWORD lengthLow,
                       DWORD lengthHigh);
