// The system's local clock. TZ only names the zone in the log's timestamps, so the system's
// own zone setting decides the clock.
#include <ctime>

#include "platform/posix/system/system_zone.h"
#include "platform/win32.h"

void WINAPI GetLocalTime(LPSYSTEMTIME time)
{
    if (time == nullptr) {
        return;
    }
    *time = SYSTEMTIME{};
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    if (!posix::system::SystemLocalTime(now.tv_sec, &local)) {
        return;
    }
    time->wYear = static_cast<WORD>(local.tm_year + 1900);
    time->wMonth = static_cast<WORD>(local.tm_mon + 1);
    time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    time->wDay = static_cast<WORD>(local.tm_mday);
    time->wHour = static_cast<WORD>(local.tm_hour);
    time->wMinute = static_cast<WORD>(local.tm_min);
    time->wSecond = static_cast<WORD>(local.tm_sec > 59 ? 59 : local.tm_sec);  // no leap second
    time->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
}
