// What the check asks of its platform beyond the Win32 subset: each start-up file provides it.
#pragma once

#include <string>
#include <vector>

// The log-on program's file name, as it sits beside this program ("quorvel" or "quorvel.exe").
const char* LogonProgramFileName();

// Where the platform would find the program a setup command line starts (PATH on POSIX, the
// Windows search order on Windows); false when it would not find it.
bool FindSetupProgram(const std::string& program, std::string* found);

// The per-user log-on start entry besides the run line (an XDG autostart entry on POSIX);
// false where the platform has none.
bool AutostartEntryPath(std::string* path);

// True when this user may append to the existing file; nothing is written and the file's
// times are kept.
bool CanAppendTo(const std::string& path);

// True when the folder exists (a drive root or a share counts).
bool FolderExists(const std::string& path);

// A command line split into arguments as a started program would see them.
std::vector<std::string> SplitSetupCommandLine(const std::string& commandLine);
