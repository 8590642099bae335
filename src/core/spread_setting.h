// SpreadSeconds in section [Quorvel] of the settings file: the longest random wait, in seconds,
// between the delay and the first entry. One reading for the run and the companion.
#pragma once

#include "platform/win32.h"

// The longest spread the run waits; a larger value is taken as this one.
constexpr UINT kLongestSpreadSeconds = 3600;

struct SpreadSetting {
    UINT written;  // the key read as an unsigned number, like Delay: 0 when absent or not a number
    UINT seconds;  // what the run waits at most: `written`, but no more than kLongestSpreadSeconds
};

// Reads the key from the settings file at `settingsPath`. A negative value reads as a large
// unsigned number, so it is taken as the longest spread.
SpreadSetting ReadSpreadSetting(LPCSTR settingsPath);
