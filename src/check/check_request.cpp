#include "check/check_request.h"

#include <cstddef>

#include "check/text_format.h"

namespace {

// The switch name after its leading '/' or '-' ("" when the argument is not a switch).
std::string SwitchName(const std::string& argument)
{
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) {
        return "";
    }
    return argument.substr(1, argument.find('=') == std::string::npos
                                  ? std::string::npos
                                  : argument.find('=') - 1);
}

}  // namespace

CheckRequest SortArguments(const std::vector<std::string>& arguments)
{
    CheckRequest request;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string name = SwitchName(argument);
        bool hasValue = argument.find('=') != std::string::npos;
        if (!hasValue && (name == "?" || SameAsciiText(name, "h") ||
                          SameAsciiText(name, "help") || SameAsciiText(name, "-help"))) {
            request.usage = true;
        } else if (!hasValue && (SameAsciiText(name, "version") ||
                                 SameAsciiText(name, "-version"))) {
            request.version = true;
        } else if (SameAsciiText(name, "csv") && !hasValue) {
            request.csv = true;
        } else if (SameAsciiText(name, "machine") && !hasValue) {
            request.machine = true;
        } else if (SameAsciiText(name, "versions") && !hasValue) {
            request.versions = true;
            request.files.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                 arguments.end());
            break;
        } else if (SameAsciiText(name, "log-summary")) {
            request.logSummary = true;
            request.logSummaryPath = hasValue ? argument.substr(argument.find('=') + 1) : "";
        } else {
            request.logonArguments.push_back(argument);
        }
    }
    return request;
}
