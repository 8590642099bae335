// Problems in the configuration, each told with the file and line it stands on.
#pragma once

#include <string>
#include <vector>

#include "check/option_report.h"
#include "check/settings_scan.h"

struct Problem {
    std::string where;  // "FILE" or "FILE:LINE"
    std::string text;
};

// Problems of the settings file's text: marks, NUL bytes, duplicates, unknown keys, numbers,
// sections against Count, paths and setup programs. `count` and `delay` are the values the
// program reads.
std::vector<Problem> FindSettingsProblems(const std::string& settingsPath, const IniScan& scan,
                                          UINT count, UINT delay);

// Problems of the files around it: options file, settings file and log.
std::vector<Problem> FindFileProblems(const OptionReport& options, bool settingsReadable,
                                      bool settingsCut);

// The real key nearest to a misspelt one ("" when none is near).
std::string NearestKey(const std::string& key, const std::vector<std::string>& known);
