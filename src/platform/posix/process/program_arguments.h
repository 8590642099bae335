// The arguments a setup command line starts a program with on POSIX.
#pragma once

#include <string>
#include <vector>

// Split by the Windows rules; but an unquoted program path may hold blanks, so, as the real
// platform does, ever longer stretches of the line up to each blank are tried until one names
// a program this user may start.
std::vector<std::string> ProgramArguments(const std::string& commandLine);
