#include "cmdline/command_line.h"

#include "platform/win32.h"

namespace {

constexpr int kWorkingBufferSize = 1024;

bool IsWhitespace(char c)
{
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

}  // namespace

CommandLine::CommandLine(const char* text) : parsed(0), count(0), first(nullptr), current(nullptr)
{
    if (text == nullptr || text[0] == '\0') {
        return;
    }
    char working[kWorkingBufferSize];
    lstrcpynA(working, text, kWorkingBufferSize);

    CmdParameter* previous = nullptr;
    char* cursor = working;
    while (*cursor != '\0') {
        while (IsWhitespace(*cursor)) {
            ++cursor;
        }
        if (*cursor == '\0') {
            break;
        }
        CmdParameter* item = new CmdParameter(cursor);
        if (previous != nullptr) {
            previous->link = item;
        }
        if (first == nullptr) {
            first = item;
            current = item;
        }
        ++count;
        previous = item;
    }
    parsed = 1;
}

CommandLine::~CommandLine()
{
    CmdParameter* item = first;
    while (item != nullptr) {
        CmdParameter* next = item->link;
        delete item;
        item = next;
    }
}

CmdParameter* CommandLine::Next()
{
    if (current != nullptr) {
        current = current->link;
    }
    return current;
}
