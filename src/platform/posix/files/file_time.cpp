#include "platform/posix/files/file_time.h"

#include <cstdint>

#include "platform/posix/system/system_zone.h"

namespace {

constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kSecondsFrom1601To1970 = 11644473600;
constexpr int64_t kSecondsPerDay = 86400;

uint64_t Ticks(const FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME FromTicks(uint64_t ticks)
{
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

// The offset of the system's own zone from UTC now, whatever TZ holds. Working it out reads
// the zone's state from the system each time, so it is worked out once per second.
int64_t CurrentSystemOffsetSeconds()
{
    thread_local time_t workedOutAt = -1;
    thread_local int64_t offset = 0;
    time_t now = time(nullptr);
    if (now != workedOutAt) {
        struct tm local;
        offset = posix::system::SystemLocalTime(now, &local) ? static_cast<int64_t>(local.tm_gmtoff)
                                                             : 0;
        workedOutAt = now;
    }
    return offset;
}

// Civil date from days since 1601-01-01 (proleptic Gregorian).
void CivilFromDays(int64_t days, int64_t* year, unsigned* month, unsigned* day)
{
    constexpr int64_t kDaysFrom1601To1970 = 134774;
    days += 719468 - kDaysFrom1601To1970;  // now counted from 0000-03-01
    int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    int64_t dayOfEra = days - era * 146097;
    int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    *day = static_cast<unsigned>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    *month = static_cast<unsigned>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    *year = yearOfEra + era * 400 + (*month <= 2 ? 1 : 0);
}

}  // namespace

namespace posix::files {

FILETIME FileTimeFromTimespec(const struct timespec& moment)
{
    int64_t seconds = static_cast<int64_t>(moment.tv_sec) + kSecondsFrom1601To1970;
    if (seconds < 0) {
        return FILETIME{0, 0};
    }
    uint64_t ticks = static_cast<uint64_t>(seconds) * kTicksPerSecond +
                     static_cast<uint64_t>(moment.tv_nsec / 100);
    return FromTicks(ticks);
}

}  // namespace posix::files

BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* utc, LPFILETIME local)
{
    if (utc == nullptr || local == nullptr) {
        return FALSE;
    }
    // As on Windows, the offset in force now applies to every moment, so two moments keep
    // their order across a change to or from daylight-saving time.
    int64_t ticks = static_cast<int64_t>(Ticks(*utc)) +
                    CurrentSystemOffsetSeconds() * kTicksPerSecond;
    *local = FromTicks(static_cast<uint64_t>(ticks < 0 ? 0 : ticks));
    return TRUE;
}

BOOL WINAPI FileTimeToDosDateTime(const FILETIME* time, LPWORD date, LPWORD dosTime)
{
    if (time == nullptr || date == nullptr || dosTime == nullptr) {
        return FALSE;
    }
    uint64_t totalSeconds = Ticks(*time) / kTicksPerSecond;
    int64_t days = static_cast<int64_t>(totalSeconds / kSecondsPerDay);
    unsigned secondOfDay = static_cast<unsigned>(totalSeconds % kSecondsPerDay);
    int64_t year;
    unsigned month, day;
    CivilFromDays(days, &year, &month, &day);
    if (year < 1980) {
        return FALSE;  // the words are left as they were
    }
    // Years past 2107 do not fit the seven year bits and wrap, as on Windows.
    unsigned yearBits = static_cast<unsigned>((year - 1980) & 0x7F);
    *date = static_cast<WORD>((yearBits << 9) | (month << 5) | day);
    unsigned hour = secondOfDay / 3600;
    unsigned minute = secondOfDay / 60 % 60;
    unsigned second = secondOfDay % 60;
    *dosTime = static_cast<WORD>((hour << 11) | (minute << 5) | (second / 2));
    return TRUE;
}
