// Problems and notes that an examined entry shows: a Source that cannot be found, a setup
// program that cannot start or needs more rights than the pass has, patterns, missing folders
// and expanded values, each at its key's line.
#pragma once

#include <string>

#include "check/entry_report.h"
#include "check/settings_problems.h"
#include "check/settings_scan.h"

// `machinePass`: the rights are forecast for the machine pass, not a user's log-on pass.
Findings FindEntryFindings(const EntryResult& result, const IniScan& scan,
                           const std::string& settingsPath, bool machinePass);
