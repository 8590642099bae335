// A local date and time as one sortable number, YYYYMMDDhhmmss: the install log's timestamps,
// the reports' times and the MS-DOS last-write words all compare as these.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win32.h"

using Moment = uint64_t;  // 0: not known

// "YYYY-MM-DD HH:MM:SS"; "" for 0.
std::string FormatMoment(Moment moment);
// From "YYYY-MM-DD HH:MM:SS"; 0 when the text is not one.
Moment MomentFromText(std::string_view text);
Moment MomentFromDos(WORD date, WORD time);
// YYYYMMDD, and the minute YYYYMMDDhhmm.
inline uint32_t DayOf(Moment moment)
{
    return static_cast<uint32_t>(moment / 1000000u);
}
inline uint64_t MinuteOf(Moment moment)
{
    return moment / 100u;
}
// "YYYY-MM-DD" from YYYYMMDD.
std::string FormatDay(uint32_t day);
// Whole days from `earlier` to `later` (each YYYYMMDD...), by the calendar.
long DaysBetween(Moment earlier, Moment later);
