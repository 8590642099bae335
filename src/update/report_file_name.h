// The name of a pass's report in the report folder: one file per computer and account.
#pragma once

#include <string>

// "PC0042.alice.csv" from the computer and user names, made safe for any file system: every
// byte but ASCII letters, digits, '-' and '_' becomes '_' (so no separator, dot, colon or
// control byte passes), and a computer name that Windows reserves for a device (CON, NUL,
// COM1, ...) gets a leading '_'. "" when either name is empty.
std::string ReportFileName(const std::string& computer, const std::string& user);

// The suffix every report file name ends in.
constexpr char kReportSuffix[] = ".csv";
