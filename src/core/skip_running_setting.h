// SkipRunningSetups in section [Quorvel] of the settings file: when set (any number but 0), a
// pass starts no setup program, and writes no line, for an entry whose setup an earlier pass on
// this workstation started and which still runs. Absent or 0: every due entry starts, as
// always. One reading for the run and the companion.
#pragma once

#include "platform/win32.h"

// The key read as an unsigned number, like Delay: 0 when absent or not a number.
UINT ReadSkipRunningSetups(LPCSTR settingsPath);
