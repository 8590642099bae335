// What the companion program asks of the POSIX platform beyond the Win32 subset.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "check/check_platform.h"
#include "platform/posix/process/executable_file.h"
#include "platform/posix/process/program_arguments.h"
#include "platform/posix/profile/log_on_start.h"

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
    std::string folder = profile::AutostartFolder();
    if (folder.empty()) {
        return false;
    }
    *path = folder + "/" + LogonProgramFileName() + ".desktop";
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
    return ProgramArguments(commandLine);
}
