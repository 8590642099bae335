// The install log's length, as the append protocol reads it before and after taking its lock.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// Kept in a file of its own: a test program links its own length read in its place, to make
// the log grow at exactly this moment, at no cost to the program.
uint64_t ReadLogLength(HANDLE file);
