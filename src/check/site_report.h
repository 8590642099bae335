// quorvel-check /site=FOLDER: the site at a glance from the pass reports in the folder and the
// install log (when logging is on), as text, CSV (/csv) or one HTML page (/html=FILE).
#pragma once

#include <string>

#include "check/check_request.h"
#include "check/option_report.h"

// Appends the report to `out`; returns the exit status bits (problems: a failure shown, the
// folder not read, the page not written).
int ReportSite(const CheckRequest& request, const OptionReport& options, std::string* out);
