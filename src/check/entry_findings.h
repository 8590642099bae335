// Problems and notes that an examined entry shows: a Source that cannot be found, a setup
// program that cannot start, patterns and missing folders, each at its key's line.
#pragma once

#include <string>

#include "check/entry_report.h"
#include "check/settings_problems.h"
#include "check/settings_scan.h"

Findings FindEntryFindings(const EntryResult& result, const IniScan& scan,
                           const std::string& settingsPath);
