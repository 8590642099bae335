// Conversions between POSIX times and FILETIME (100-ns ticks since 1601-01-01).
#pragma once

#include <ctime>

#include "platform/win32.h"

namespace posix::files {

FILETIME FileTimeFromTimespec(const struct timespec& moment);

}  // namespace posix::files
