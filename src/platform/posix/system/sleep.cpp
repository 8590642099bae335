// Sleep for whole milliseconds, carrying on after interruptions by signals.
#include <cerrno>
#include <ctime>

#include "platform/win32.h"

void WINAPI Sleep(DWORD milliseconds)
{
    timespec remaining{};
    remaining.tv_sec = static_cast<time_t>(milliseconds / 1000);
    remaining.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}
