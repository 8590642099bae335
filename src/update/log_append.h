// Appending one line to a shared file under a byte-range lock on its region at the end.
#pragma once

#include <cstdio>

#include "platform/win32.h"

constexpr int kLockTries = 4;            // refused tries before the line is given up
constexpr DWORD kLockWaitMs = 1000;      // the wait after each refused try
constexpr int kMovedEndRetries = 64;     // relocks after the end moved, counted apart

// Writes `length` bytes of `line` to `stream` in one write, holding a lock on the line's
// region at the file's end. Another writer's lock refuses a try; after each refused try the
// message queue is served and the call waits kLockWaitMs, and after kLockTries refusals the
// line is dropped. Once a lock is granted the file's length is read again: if another writer
// appended meanwhile, the lock no longer covers the end, so it is released and taken again at
// once at the new end. Returns true when the line was handed to the file.
bool AppendLineUnderLock(FILE* stream, LPCSTR line, DWORD length);
