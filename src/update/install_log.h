#pragma once

#include "platform/win32.h"

// Opens the shared install log (the default path when none was given) for appending.
void OpenInstallLog();
// Appends one line for an application about to be set up, under a byte-range lock.
void WriteInstallLogLine(LPCSTR name);
void CloseInstallLog();
