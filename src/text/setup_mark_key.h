// The name of the mark that an entry's running setup program holds: one name per account,
// settings file and setup command line, the same in every pass, with no character that a file
// name or a kernel object name could not hold.
#pragma once

#include <string>
#include <string_view>

// Sixteen hexadecimal digits from the three texts (a 64-bit FNV-1a hash over each text and the
// zero byte after it, so the texts cannot run into one another).
std::string SetupMarkKey(std::string_view account, std::string_view settingsPath,
                         std::string_view setupApp);
