// When each entry's master was last written, as the pass would find Source here and now: the
// moment from which the install log's launches count toward a re-install loop.
#pragma once

#include <string>

#include "check/log_summary.h"

// Gives `summary` the master moment of every entry of the settings file that takes part and
// whose Source is found (by Name; of two entries with one Name, the later master).
void SetMastersFromSettings(const std::string& settingsPath, LogSummary* summary);
