#include "update/log_timestamp.h"

#include <cstdio>

namespace {

const char* const kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

bool IsLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// True when text[0..2] are letters; stops at a terminator, so short texts are safe.
bool ThreeLetters(const char* text)
{
    return IsLetter(text[0]) && IsLetter(text[1]) && IsLetter(text[2]);
}

const char* SkipDigits(const char* p)
{
    while (IsDigit(*p)) {
        ++p;
    }
    return p;
}

// Appends to a bounded buffer, keeping room for the terminator.
struct TimestampOutput {
    char* out;
    int size;
    int length;

    void Put(char c)
    {
        if (length < size - 1) {
            out[length++] = c;
        }
    }
    void Put(const char* text)
    {
        while (*text != '\0') {
            Put(*text++);
        }
    }
    void PutNumber(unsigned value, int digits)
    {
        char number[16];
        std::snprintf(number, sizeof number, "%0*u", digits, value);
        Put(number);
    }
};

}  // namespace

const char* const kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

void ZoneNameFromTz(LPCSTR tz, bool isDaylight, char out[4])
{
    out[0] = '\0';
    if (tz == nullptr || !ThreeLetters(tz)) {
        return;
    }
    const char* offset = tz + 3;
    bool hasSign = *offset == '+' || *offset == '-';
    if (!hasSign && !IsDigit(*offset)) {
        return;
    }
    if (!IsDigit(offset[0]) && !IsDigit(offset[1])) {
        return;
    }
    // The offset: an optional sign, hours, and optionally :minutes and :seconds.
    const char* p = SkipDigits(offset + (hasSign ? 1 : 0));
    for (int part = 0; part < 2 && p[0] == ':' && IsDigit(p[1]); ++part) {
        p = SkipDigits(p + 1);
    }
    const char* name = (isDaylight && ThreeLetters(p)) ? p : tz;
    out[0] = name[0];
    out[1] = name[1];
    out[2] = name[2];
    out[3] = '\0';
}

int FormatLogTimestamp(LPCSTR format, const SYSTEMTIME& time, LPCSTR tz, bool isDaylight, LPSTR out,
                       int size)
{
    if (out == nullptr || size <= 0) {
        return 0;
    }
    TimestampOutput result{out, size, 0};
    for (const char* p = format != nullptr ? format : ""; *p != '\0'; ++p) {
        if (*p != '%' || p[1] == '\0') {
            result.Put(*p);
            continue;
        }
        ++p;
        switch (*p) {
        case 'a':
            result.Put(time.wDayOfWeek < 7 ? kDayNames[time.wDayOfWeek] : "");
            break;
        case 'b':
            result.Put(time.wMonth >= 1 && time.wMonth <= 12 ? kMonthNames[time.wMonth - 1] : "");
            break;
        case 'd':
            result.PutNumber(time.wDay, 2);
            break;
        case 'Y':
            result.PutNumber(time.wYear, 4);
            break;
        case 'H':
            result.PutNumber(time.wHour, 2);
            break;
        case 'M':
            result.PutNumber(time.wMinute, 2);
            break;
        case 'S':
            result.PutNumber(time.wSecond, 2);
            break;
        case 'Z': {
            char zone[4];
            ZoneNameFromTz(tz, isDaylight, zone);
            result.Put(zone);
            break;
        }
        case '%':
            result.Put('%');
            break;
        default:
            result.Put('%');
            result.Put(*p);
            break;
        }
    }
    out[result.length] = '\0';
    return result.length;
}

bool DaylightSavingInEffect(std::time_t moment)
{
    // localtime reads TZ afresh; its result is only looked at here, before any other call.
    const std::tm* local = std::localtime(&moment);
    return local != nullptr && local->tm_isdst > 0;
}
