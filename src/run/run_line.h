#pragma once

#include <string>

#include "platform/win32.h"

// Adds the program's full path to the run line of the user's WIN.INI, replacing the first
// entry that holds the program's file name. Failures are not reported.
void AddToRunLine(LPCSTR path);

// Reads the run value of the user's WIN.INI whole; false when it is too long to read.
bool ReadRunValue(std::string& value);
