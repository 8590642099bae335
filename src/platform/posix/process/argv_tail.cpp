#include "platform/posix/process/argv_tail.h"

#include <cstring>

namespace {

std::string QuoteSwitchValue(const std::string& argument)
{
    if (argument.empty() || (argument[0] != '/' && argument[0] != '-')) {
        return argument;
    }
    size_t equals = argument.find('=');
    if (equals == std::string::npos) {
        return argument;
    }
    std::string value = argument.substr(equals + 1);
    if (value.empty() || value[0] == '"' || value.find_first_of(" \t/") == std::string::npos) {
        return argument;
    }
    return argument.substr(0, equals + 1) + '"' + value + '"';
}

}  // namespace

std::string BuildCommandTail(int argc, char** argv)
{
    std::string tail;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            tail += ' ';
        }
        tail += QuoteSwitchValue(argv[i]);
    }
    return tail;
}
