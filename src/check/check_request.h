// The check's own switches, taken out of the arguments; the rest is the log-on program's tail.
#pragma once

#include <string>
#include <vector>

struct CheckRequest {
    bool usage = false;     // /?, -h, --help
    bool version = false;   // /version, --version
    bool csv = false;       // /csv
    bool machine = false;   // /machine: check for the machine pass
    bool versions = false;  // /versions FILE...
    std::vector<std::string> files;
    bool logSummary = false;  // /log-summary[=PATH]
    std::string logSummaryPath;
    bool site = false;  // /site=FOLDER [/html=FILE] [/stale-days=N]
    std::string siteFolder;
    std::string htmlPath;
    unsigned staleDays = 7;
    unsigned long long maxLogMiB = 1024;  // /max-log-mb=N: the largest log read
    std::string refused;                  // a switch of the check's own whose value it cannot take
    std::vector<std::string> logonArguments;  // everything else, in order
};

// Switches are written /name or -name, names compared in ASCII without regard to case; every
// argument after /versions is a file.
CheckRequest SortArguments(const std::vector<std::string>& arguments);
