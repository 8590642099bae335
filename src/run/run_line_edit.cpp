#include "run/run_line_edit.h"

#include "platform/win32.h"
#include "text/run_line_entries.h"

std::string UpperCased(std::string text)
{
    if (!text.empty()) {
        CharUpperA(&text[0]);
    }
    return text;
}

std::string RunLineKey(const std::string& path, char separator)
{
    std::string upper = UpperCased(path);
    size_t last = upper.rfind(separator);
    return last == std::string::npos ? upper : upper.substr(last + 1);
}

size_t FindRunLineKey(const std::string& upperValue, const std::string& key)
{
    return key.empty() ? std::string::npos : upperValue.find(key);
}

std::string EditRunLine(std::string value, size_t match, const std::string& path)
{
    // A match beyond the value (npos: no entry) removes nothing.
    if (match < value.size()) {
        // Both scans start at the match itself, so a blank inside the file name bounds the
        // removal there.
        size_t start = match + 1;
        while (start > 0 && !IsRunLineSeparator(value[start - 1])) {
            --start;
        }
        size_t end = match;
        while (end < value.size() && !IsRunLineSeparator(value[end])) {
            ++end;
        }
        if (end < value.size()) {
            ++end;  // the separator after the entry goes with it
        }
        value.erase(start, end - start);
        while (value.size() > 1 && IsRunLineSeparator(value.back())) {
            value.pop_back();
        }
    }
    return value + " " + path;
}

size_t FindProgramInRunLine(const std::string& value, const std::string& path, char separator)
{
    return FindRunLineKey(UpperCased(value), RunLineKey(path, separator));
}

std::string ComposeRunLine(const std::string& value, const std::string& path, char separator)
{
    return EditRunLine(value, FindProgramInRunLine(value, path, separator), path);
}
