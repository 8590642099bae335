#include "check/text_format.h"

#include <cstdio>
#include <string_view>

#include "text/ascii_case.h"

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

std::string CsvCell(const std::string& text)
{
    // A cell that a spreadsheet would take for a formula is made text by a leading quote,
    // as the usual guidance against formula injection says.
    bool formula = !text.empty() &&
                   std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos;
    std::string field = CsvField(formula ? "'" + text : text);
    // A guarded cell is always quoted, so that every reader keeps the quote as its text.
    return formula && field.front() != '"' ? "\"" + field + "\"" : field;
}

namespace {

// "C:\..." or "C:/...".
bool IsDrivePath(const std::string& path)
{
    bool letter = !path.empty() &&
                  ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
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
