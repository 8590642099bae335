// Fields as both programs write them: versions, MS-DOS moments and CSV fields.
#pragma once

#include <string>

#include "platform/win32.h"

// "1.2.3.4" from a version's most and least significant words.
std::string FormatVersion(DWORD mostSignificant, DWORD leastSignificant);
// "YYYY-MM-DD HH:MM:SS" from MS-DOS date and time words, as the decision compares them.
std::string FormatDosMoment(WORD date, WORD time);
// One CSV field by RFC 4180: quoted when it holds a comma, a quote, CR or LF; quotes doubled.
std::string CsvField(const std::string& text);
