// Starting programs.
#pragma once

#include "platform/posix/types.h"

// Starts the program without waiting for it; returns a value above 31 when it was started.
UINT WINAPI WinExec(LPCSTR commandLine, UINT showCommand);
