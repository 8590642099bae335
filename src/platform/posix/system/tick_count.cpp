// The system tick count: milliseconds on the monotonic clock, wrapping at 2^32 as on Windows,
// so that differences of two readings measure time across the wrap.
#include <ctime>

#include "platform/win32.h"

DWORD WINAPI GetTickCount()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    unsigned long long ms = static_cast<unsigned long long>(now.tv_sec) * 1000ull +
                            static_cast<unsigned long long>(now.tv_nsec / 1000000L);
    return static_cast<DWORD>(ms & 0xFFFFFFFFull);
}
