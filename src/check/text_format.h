// Small formatters shared by the check's reports.
#pragma once

#include <string>

#include "core/field_text.h"
#include "platform/win32.h"

// "0x1234".
std::string FormatWord(WORD word);
// "1 match", "2 matches": a count with its noun as English has it.
std::string CountedText(unsigned long long count, const char* one, const char* many);
// One CSV field of the companion's output: quoted by RFC 4180 (CsvField), and a field that
// begins with '=', '+', '-', '@', a tab or a CR is quoted with a single quote put first, so
// that a spreadsheet reads it as text, not as a formula.
std::string CsvCell(const std::string& text);
// Absolute on this platform: starts with the separator (or '/'), or, on Windows, a drive
// letter, colon, separator.
bool IsAbsolutePath(const std::string& path);
// A path that is absolute only on Windows ("C:\...", "\\server\share\...") where this
// platform takes it as the name of a file in the current folder.
bool IsForeignWindowsPath(const std::string& path);
