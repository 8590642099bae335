#include "core/field_text.h"

#include <cstdio>

std::string FormatVersion(DWORD mostSignificant, DWORD leastSignificant)
{
    char text[48];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", static_cast<unsigned>(mostSignificant >> 16),
                  static_cast<unsigned>(mostSignificant & 0xFFFFu),
                  static_cast<unsigned>(leastSignificant >> 16),
                  static_cast<unsigned>(leastSignificant & 0xFFFFu));
    return text;
}

std::string FormatDosMoment(WORD date, WORD time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", 1980u + (date >> 9u),
                  (date >> 5u) & 15u, date & 31u, time >> 11u, (time >> 5u) & 63u,
                  (time & 31u) * 2u);
    return text;
}

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}
