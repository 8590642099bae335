// How the log-on program comes to start at log-on: the run line entry by entry, and the
// platform's other ways (autostart entries, the machine's Run key), with what is wrong there.
#pragma once

#include <string>

#include "check/option_report.h"
#include "check/settings_problems.h"

struct RegistrationReport {
    std::string text;  // the report's "Registration" part
    Findings findings;
};

// `program` is the log-on program's full path beside this one ("" when not known whole).
RegistrationReport ReportRegistration(const OptionReport& options, const std::string& program);
