// Splitting a command line into arguments by the Windows rules.
#pragma once

#include <string>
#include <vector>

// Blanks and tabs separate arguments outside double quotes; double quotes group; backslashes
// are literal except before a double quote, where 2n backslashes give n and the quote acts,
// and 2n+1 give n and a literal quote; inside quotes, a doubled quote gives one quote.
std::vector<std::string> SplitWindowsCommandLine(const std::string& commandLine);
