// Appending one line to a shared file under a byte-range lock on its region at the end.
#pragma once

#include <cstdio>

#include "platform/win32.h"

constexpr int kLockTries = 4;         // refused tries before the line is given up
constexpr DWORD kLockWaitMs = 1000;   // the wait after each refused try
constexpr DWORD kLockPollMs = 20;     // how often the lock is looked at during a wait
constexpr int kMovedEndRetries = 64;  // relocks after the end moved, counted apart
// What one pass may spend waiting for the lock in all, whatever the number of its lines: as
// much as one line may wait, so a writer that keeps the lock, or takes it again and again,
// holds a workstation's setups back by about four seconds at most.
constexpr DWORD kPassLockWaitMs = kLockTries * kLockWaitMs;

// The waiting a pass has left, spent by every line it writes.
struct LockWaitBudget {
    DWORD leftMs = kPassLockWaitMs;
};

// Writes `length` bytes of `line` to `stream` in one write, holding a lock on the line's
// region at the file's end. Another writer's lock refuses a try; after each refused try the
// message queue is served and the call waits kLockWaitMs, measured on the tick count, and
// after kLockTries refusals and their waits the line is dropped, so a lock kept by another
// writer costs about four seconds however long each sleep really lasts.
// A writer holds the lock only for the moment of its own write, so during each wait the lock
// is looked at again every kLockPollMs and the line goes in as soon as the end is free: writers
// that were refused together do not wake together and refuse each other again and again.
// Once a lock is granted the file's length is read again: if another writer appended
// meanwhile, the lock no longer covers the end, so it is released and taken again at once at
// the new end.
// Every wait is also taken from `budget` and ends when it runs out; once it has, a line gets
// one try and is dropped when that is refused. Returns true when the line was handed to the
// file.
bool AppendLineUnderLock(FILE* stream, LPCSTR line, DWORD length, LockWaitBudget& budget);
