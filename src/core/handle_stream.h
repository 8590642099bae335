// A C runtime stream over a file handle opened with the platform's own call, so that a file
// can be opened with the checks only that call allows and then written or read as a stream.
#pragma once

#include <cstdio>

#include "platform/win32.h"

// Hands `file` to the C runtime with the descriptor `flags` and the stream `mode`. The stream
// then owns the handle (closing it closes the handle); when no stream can be made the handle
// is closed and the result is null.
FILE* StreamOverHandle(HANDLE file, int flags, const char* mode);
