// The program's whole control flow: switches, names, log, delay, spread, entries, tidy-up.
#pragma once

#include "platform/win32.h"

// Runs one pass and returns the exit status: 1 when a line of switches was refused, else 0.
int RunQuorvel(HINSTANCE instance, LPCSTR commandTail);

// The exit status of a run that ran out of memory.
constexpr int kOutOfMemoryStatus = 2;
// Ends a run that an allocation failure cut short, quietly: closes the install log (its lines
// are written whole or not at all), then returns kOutOfMemoryStatus for the entry to exit with.
int EndRunOutOfMemory();

// Applies one line of switches as it is met; returns true (applied) or false (refused).
bool ApplySwitchLine(LPCSTR line);

// Applies the options file at `path` as the run does; a file that cannot be opened applies
// nothing and refuses nothing (returns true).
bool ApplyOptionsFileAt(LPCSTR path);
