// The install log's timestamp: our own formatter, independent of the C library's locale.
#pragma once

#include <ctime>

#include "platform/win32.h"

constexpr int kTimestampSize = 50;  // at most 49 characters and a terminator

// The English three-letter month names that %b gives, January first.
extern const char* const kMonthNames[12];

// Formats `time` by `format` into `out` (room `size`), cut to size - 1 characters and always
// terminated when size > 0. Conversions: %a and %b (English three-letter day and month names),
// %d, %H, %M, %S (two digits), %Y (four digits), %Z (ZoneNameFromTz) and %%; any other
// conversion is copied as it stands. Returns the number of characters written.
int FormatLogTimestamp(LPCSTR format, const SYSTEMTIME& time, LPCSTR tz, bool isDaylight, LPSTR out,
                       int size);

// The zone name that TZ supplies, into `out` (4 bytes): three letters followed by an hour
// offset (GMT0, EST5, CET-1, IST+5:30) give those letters; when three more letters follow the
// offset (EST5EDT) they are given instead while `isDaylight` is true. Anything else, an absent
// TZ included, gives the empty string.
void ZoneNameFromTz(LPCSTR tz, bool isDaylight, char out[4]);

// Whether daylight-saving time is in effect at `moment`, as the C library reads TZ for that
// moment (the tm_isdst of localtime). The same rule holds on every build; a TZ without rules
// for daylight-saving time, or none, reads as standard time.
bool DaylightSavingInEffect(std::time_t moment);
