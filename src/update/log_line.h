// The layout of one install-log line.
#pragma once

#include "core/run_settings.h"
#include "platform/win32.h"

// Room for any line: the system's formatter never writes more than 1024 bytes, and the longest
// line (a 49-character timestamp, a 259-character Name, two 49-character names and the fixed
// text) is far shorter, so every line is composed whole and ends in CR LF.
constexpr int kLogLineSize = 1024;
constexpr int kLogNameLimit = MAX_PATH;  // a Name is taken up to 259 characters

// Composes the line for `name` into `out` (kLogLineSize bytes): the long form with the
// computer and user names when both were obtained, the short form otherwise. Returns the
// line's length; 0 when the line's format string is missing.
int ComposeInstallLogLine(LPCSTR timestamp, LPCSTR name, const RunSettings& settings,
                          char (&out)[kLogLineSize]);
