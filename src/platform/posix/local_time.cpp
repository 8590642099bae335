// The system's local clock. TZ only names the zone in the log's timestamps, so it is set aside
// while the local time is read: the system's own zone setting decides the clock. The program
// is single-threaded, so changing the environment for the moment is safe.
#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/win32.h"

namespace {

// Clears TZ for its lifetime and puts the previous value back afterwards.
class SystemZoneScope {
public:
    SystemZoneScope()
    {
        const char* value = std::getenv("TZ");
        hadValue_ = value != nullptr;
        if (hadValue_) {
            saved_ = value;
            unsetenv("TZ");
        }
        tzset();  // localtime_r need not re-read the environment by itself
    }
    ~SystemZoneScope()
    {
        if (hadValue_) {
            setenv("TZ", saved_.c_str(), 1);
        }
        tzset();
    }
    SystemZoneScope(const SystemZoneScope&) = delete;
    SystemZoneScope& operator=(const SystemZoneScope&) = delete;

private:
    bool hadValue_ = false;
    std::string saved_;
};

}  // namespace

void WINAPI GetLocalTime(LPSYSTEMTIME time)
{
    if (time == nullptr) {
        return;
    }
    *time = SYSTEMTIME{};
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    {
        SystemZoneScope scope;
        if (localtime_r(&now.tv_sec, &local) == nullptr) {
            return;
        }
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
