#pragma once

#include "platform/win32.h"

enum UpdateVerdict { LaunchSetup = 0, UpToDate = 1, CompareTimes = 2 };

// Decides whether the installed file (destination) must be refreshed from its master (source).
// Returns LaunchSetup or UpToDate; reads the two files and changes nothing.
UpdateVerdict DecideUpdate(LPCSTR destination, LPCSTR source);
