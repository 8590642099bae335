// Findings in the configuration, each told with the file and line it stands on: problems, which
// make an entry or the log silently not work, and notes, documented ways of working worth
// knowing about.
#pragma once

#include <string>
#include <vector>

#include "check/option_report.h"
#include "check/settings_scan.h"
#include "core/spread_setting.h"

struct Finding {
    std::string where;  // "FILE", "FILE:LINE", or what else it is about
    std::string text;
};

struct Findings {
    std::vector<Finding> problems;  // each sets the problem bit of the exit status
    std::vector<Finding> notes;     // told, but set nothing
    void Append(const Findings& other);
};

// Findings of the settings file's text: marks, NUL bytes, duplicates, unknown keys, numbers,
// sections against Count, misnamed sections and paths. `count`, `delay`, `spread` and `expand`
// (ExpandVariables: paths are looked at expanded) are the values the program reads.
Findings FindSettingsProblems(const std::string& settingsPath, const IniScan& scan, UINT count,
                              UINT delay, const SpreadSetting& spread, bool expand);

// Findings of the files around it: options file, settings file and log.
Findings FindFileProblems(const OptionReport& options, bool settingsReadable, bool settingsCut);

// The real key nearest to a misspelt one ("" when none is near).
std::string NearestKey(const std::string& key, const std::vector<std::string>& known);
