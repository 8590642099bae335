// What the companion program asks of the Windows platform beyond the Win32 subset.
#include <string>
#include <vector>

#include "check/check_platform.h"
#include "platform/win32.h"
#include "text/windows_command_line.h"

const char* LogonProgramFileName()
{
    return "quorvel.exe";
}

bool FindSetupProgram(const std::string& program, std::string* found)
{
    // The standard search order of the system; ".exe" is added when the name has none.
    char path[MAX_PATH];
    DWORD length = SearchPathA(nullptr, program.c_str(), ".exe", MAX_PATH, path, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    *found = path;
    return true;
}

bool AutostartEntryPath(std::string*)
{
    return false;  // the run line is the whole registration here
}

bool FolderExists(const std::string& path)
{
    // With the separator, a drive ("C:") names its root; a share root answers as a folder.
    std::string folder = path.back() == ':' ? path + "\\" : path;
    DWORD attributes = GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CanAppendTo(const std::string& path)
{
    // Opening for appending writes nothing and keeps the file's times.
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

std::vector<std::string> SplitSetupCommandLine(const std::string& commandLine)
{
    return SplitWindowsCommandLine(commandLine);
}
