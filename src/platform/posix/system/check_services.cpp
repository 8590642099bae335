// What the companion program asks of the POSIX platform beyond the Win32 subset.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "check/check_platform.h"
#include "platform/posix/process/windows_command_line.h"
#include "platform/posix/profile/win_ini_location.h"

namespace {

bool IsExecutableFile(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

}  // namespace

const char* LogonProgramFileName()
{
    return "quorvel";
}

bool FindSetupProgram(const std::string& program, std::string* found)
{
    // A name with a '/' is used as it stands; any other is searched in PATH, as exec does.
    if (program.find('/') != std::string::npos) {
        *found = program;
        return IsExecutableFile(program);
    }
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t at = 0;
    while (at <= folders.size()) {
        size_t end = folders.find(':', at);
        end = end == std::string::npos ? folders.size() : end;
        std::string folder = end > at ? folders.substr(at, end - at) : ".";
        if (IsExecutableFile(folder + "/" + program)) {
            *found = folder + "/" + program;
            return true;
        }
        at = end + 1;
    }
    return false;
}

bool AutostartEntryPath(std::string* path)
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (configHome != nullptr && configHome[0] == '/') {
        folder = configHome;
    } else {
        folder = profile::WinIniPath();
        folder = folder.substr(0, folder.rfind('/'));  // $HOME/.config
    }
    if (folder.empty()) {
        return false;
    }
    *path = folder + "/autostart/" + LogonProgramFileName() + ".desktop";
    return true;
}

bool FolderExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CanAppendTo(const std::string& path)
{
    return access(path.c_str(), W_OK) == 0;
}

std::vector<std::string> SplitSetupCommandLine(const std::string& commandLine)
{
    return SplitWindowsCommandLine(commandLine);
}
