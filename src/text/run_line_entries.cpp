#include "text/run_line_entries.h"

bool IsRunLineSeparator(char c)
{
    return c == ' ' || c == ',';
}

std::vector<RunLineEntry> RunLineEntries(std::string_view line)
{
    std::vector<RunLineEntry> entries;
    size_t at = 0;
    while (at < line.size()) {
        size_t end = at;
        while (end < line.size() && !IsRunLineSeparator(line[end])) {
            ++end;
        }
        if (end > at) {
            entries.push_back({at, end, std::string(line.substr(at, end - at))});
        }
        at = end + 1;
    }
    return entries;
}
