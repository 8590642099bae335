#include "run/command_tail.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

}  // namespace

const char* FindCommandTail(const char* commandLine)
{
    const char* p = commandLine;
    while (IsBlank(*p)) {
        ++p;
    }
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"' && *p != '\t' && *p != '\n' && *p != '\r') {
            ++p;
        }
        if (*p == '"') {
            ++p;
        }
    } else {
        while (*p != '\0' && !IsBlank(*p) && *p != '\n' && *p != '\r') {
            ++p;
        }
    }
    while (IsBlank(*p)) {
        ++p;
    }
    return p;
}
