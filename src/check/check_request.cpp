#include "check/check_request.h"

#include <cstddef>

#include "check/text_format.h"
#include "text/ascii_case.h"

namespace {

// The switch name after its leading '/' or '-' ("" when the argument is not a switch).
std::string SwitchName(const std::string& argument)
{
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) {
        return "";
    }
    return argument.substr(1, argument.find('=') == std::string::npos ? std::string::npos
                                                                      : argument.find('=') - 1);
}

// A whole number from 1 to `most`; 0 when the text is not one.
unsigned long long CountValue(const std::string& text, unsigned long long most)
{
    unsigned long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || value > most) {
            return 0;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value <= most ? value : 0;
}

void TakeSiteSwitch(const std::string& name, const std::string& value, const std::string& argument,
                    CheckRequest* request)
{
    if (value.empty()) {
        request->refused = argument + ": a value is needed";
    } else if (EqualIgnoringAsciiCase(name, "site")) {
        request->site = true;
        request->siteFolder = value;
    } else if (EqualIgnoringAsciiCase(name, "html")) {
        request->htmlPath = value;
    } else if (EqualIgnoringAsciiCase(name, "stale-days")) {
        request->staleDays = static_cast<unsigned>(CountValue(value, 36500));
        if (request->staleDays == 0) {
            request->refused = argument + ": days from 1 to 36500";
        }
    } else {
        request->maxLogMiB = CountValue(value, 1u << 24);
        if (request->maxLogMiB == 0) {
            request->refused = argument + ": megabytes from 1 to 16777216";
        }
    }
}

}  // namespace

CheckRequest SortArguments(const std::vector<std::string>& arguments)
{
    CheckRequest request;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string name = SwitchName(argument);
        bool hasValue = argument.find('=') != std::string::npos;
        if (!hasValue &&
            (name == "?" || EqualIgnoringAsciiCase(name, "h") ||
             EqualIgnoringAsciiCase(name, "help") || EqualIgnoringAsciiCase(name, "-help"))) {
            request.usage = true;
        } else if (!hasValue && (EqualIgnoringAsciiCase(name, "version") ||
                                 EqualIgnoringAsciiCase(name, "-version"))) {
            request.version = true;
        } else if (EqualIgnoringAsciiCase(name, "csv") && !hasValue) {
            request.csv = true;
        } else if (EqualIgnoringAsciiCase(name, "machine") && !hasValue) {
            request.machine = true;
        } else if (EqualIgnoringAsciiCase(name, "versions") && !hasValue) {
            request.versions = true;
            request.files.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                 arguments.end());
            break;
        } else if (EqualIgnoringAsciiCase(name, "log-summary")) {
            request.logSummary = true;
            request.logSummaryPath = hasValue ? argument.substr(argument.find('=') + 1) : "";
        } else if (EqualIgnoringAsciiCase(name, "site") || EqualIgnoringAsciiCase(name, "html") ||
                   EqualIgnoringAsciiCase(name, "stale-days") ||
                   EqualIgnoringAsciiCase(name, "max-log-mb")) {
            TakeSiteSwitch(name, hasValue ? argument.substr(argument.find('=') + 1) : "", argument,
                           &request);
        } else {
            request.logonArguments.push_back(argument);
        }
    }
    return request;
}
