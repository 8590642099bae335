#include "text/argv_tail.h"

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
    return BuildCommandTail(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
}

std::string BuildCommandTail(const std::vector<std::string>& arguments)
{
    std::string tail;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i > 0) {
            tail += ' ';
        }
        tail += QuoteSwitchValue(arguments[i]);
    }
    return tail;
}
