#include "check/text_format.h"

#include <cstdio>
#include <string_view>

#include "core/ascii_compare.h"

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

std::string FormatWord(WORD word)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(word));
    return text;
}

std::string CountedText(unsigned long long count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string CsvField(const std::string& text)
{
    // A cell that a spreadsheet would take for a formula is made text by a leading quote,
    // as the usual guidance against formula injection says.
    bool formula = !text.empty() && std::string_view("=+-@\t\r").find(text[0]) !=
                                        std::string_view::npos;
    if (!formula && text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = formula ? "\"'" : "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

bool SameAsciiText(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && EqualIgnoringAsciiCase(a.c_str(), b.c_str());
}

namespace {

// "C:\..." or "C:/...".
bool IsDrivePath(const std::string& path)
{
    bool letter = !path.empty() && ((path[0] >= 'A' && path[0] <= 'Z') ||
                                    (path[0] >= 'a' && path[0] <= 'z'));
    return letter && path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

}  // namespace

bool IsAbsolutePath(const std::string& path)
{
    if (!path.empty() && (path[0] == kPathSeparator || path[0] == '/')) {
        return true;
    }
    return kPathSeparator == '\\' && IsDrivePath(path);
}

bool IsForeignWindowsPath(const std::string& path)
{
    return kPathSeparator == '/' && (IsDrivePath(path) || path.compare(0, 2, "\\\\") == 0);
}
