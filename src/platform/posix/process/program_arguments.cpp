#include "platform/posix/process/program_arguments.h"

#include <sys/stat.h>

#include "platform/posix/process/program_search.h"
#include "platform/posix/process/superuser.h"
#include "text/windows_command_line.h"

namespace {

bool StartsAsProgram(const std::string& path)
{
    return posix::process::Starts(posix::process::ForecastExec(path).outcome);
}

bool Exists(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

// Where an unquoted command line's text begins; npos when it is empty or quoted.
size_t UnquotedStart(const std::string& commandLine)
{
    size_t start = commandLine.find_first_not_of(" \t");
    return start == std::string::npos || commandLine[start] == '"' ? std::string::npos : start;
}

// The line from `start` up to the blank after `blank` (or to its end).
std::string StretchAfter(const std::string& commandLine, size_t start, size_t blank)
{
    size_t next = commandLine.find(' ', blank + 1);
    return commandLine.substr(start, next == std::string::npos ? std::string::npos : next - start);
}

}  // namespace

namespace posix::process {

std::string PlantableFirstWord(const std::string& commandLine)
{
    size_t start = UnquotedStart(commandLine);
    std::vector<std::string> arguments = SplitWindowsCommandLine(commandLine);
    if (start == std::string::npos || arguments.empty() ||
        arguments[0].find('/') == std::string::npos) {
        return "";
    }
    for (size_t blank = commandLine.find(' ', start); blank != std::string::npos;
         blank = commandLine.find(' ', blank + 1)) {
        if (Exists(StretchAfter(commandLine, start, blank))) {
            return arguments[0];
        }
    }
    return "";
}

std::vector<std::string> ProgramArguments(const std::string& commandLine)
{
    std::vector<std::string> arguments = SplitWindowsCommandLine(commandLine);
    size_t start = UnquotedStart(commandLine);
    if (posix::process::RunsAsSuperuser()) {
        return PlantableFirstWord(commandLine).empty() ? arguments : std::vector<std::string>{};
    }
    if (arguments.empty() || start == std::string::npos ||
        arguments[0].find('/') == std::string::npos || StartsAsProgram(arguments[0])) {
        return arguments;
    }
    for (size_t blank = commandLine.find(' ', start); blank != std::string::npos;
         blank = commandLine.find(' ', blank + 1)) {
        std::string candidate = StretchAfter(commandLine, start, blank);
        if (StartsAsProgram(candidate)) {
            size_t next = commandLine.find(' ', blank + 1);
            std::vector<std::string> rest = next == std::string::npos
                                                ? std::vector<std::string>{}
                                                : SplitWindowsCommandLine(commandLine.substr(next));
            rest.insert(rest.begin(), candidate);
            return rest;
        }
    }
    return arguments;
}

}  // namespace posix::process
