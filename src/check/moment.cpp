#include "check/moment.h"

#include <cstdio>

namespace {

bool Digits(std::string_view text, size_t at, size_t count, unsigned* value)
{
    *value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9') {
            return false;
        }
        *value = *value * 10 + static_cast<unsigned>(text[i] - '0');
    }
    return true;
}

// Days since 1970-01-01 of a civil date (the proleptic Gregorian calendar).
long DayNumber(long year, long month, long day)
{
    long y = year - (month <= 2 ? 1 : 0);
    long era = (y >= 0 ? y : y - 399) / 400;
    long yearOfEra = y - era * 400;
    long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

}  // namespace

std::string FormatMoment(Moment moment)
{
    if (moment == 0) {
        return "";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u",
                  static_cast<unsigned>(moment / 10000000000u % 10000u),
                  static_cast<unsigned>(moment / 100000000u % 100u),
                  static_cast<unsigned>(moment / 1000000u % 100u),
                  static_cast<unsigned>(moment / 10000u % 100u),
                  static_cast<unsigned>(moment / 100u % 100u),
                  static_cast<unsigned>(moment % 100u));
    return text;
}

std::string FormatDay(uint32_t day)
{
    return FormatMoment(Moment{day} * 1000000u).substr(0, 10);
}

Moment MomentFromText(std::string_view text)
{
    unsigned year, month, day, hour, minute, second;
    if (text.size() != 19 || !Digits(text, 0, 4, &year) || text[4] != '-' ||
        !Digits(text, 5, 2, &month) || text[7] != '-' || !Digits(text, 8, 2, &day) ||
        text[10] != ' ' || !Digits(text, 11, 2, &hour) || text[13] != ':' ||
        !Digits(text, 14, 2, &minute) || text[16] != ':' || !Digits(text, 17, 2, &second) ||
        month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59) {
        return 0;
    }
    return ((((Moment{year} * 100 + month) * 100 + day) * 100 + hour) * 100 + minute) * 100 +
           second;
}

Moment MomentFromDos(WORD date, WORD time)
{
    Moment day = (1980u + (date >> 9u)) * 10000u + ((date >> 5u) & 15u) * 100u + (date & 31u);
    unsigned timeOfDay = (time >> 11u) * 10000u + ((time >> 5u) & 63u) * 100u + (time & 31u) * 2u;
    return day * 1000000u + timeOfDay;
}

long DaysBetween(Moment earlier, Moment later)
{
    auto number = [](Moment moment) {
        uint32_t day = DayOf(moment);
        return DayNumber(static_cast<long>(day / 10000u), static_cast<long>(day / 100u % 100u),
                         static_cast<long>(day % 100u));
    };
    return number(later) - number(earlier);
}
