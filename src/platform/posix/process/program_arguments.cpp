#include "platform/posix/process/program_arguments.h"

#include "platform/posix/process/program_search.h"
#include "text/windows_command_line.h"

namespace {

bool StartsAsProgram(const std::string& path)
{
    return process::Starts(process::ForecastExec(path).outcome);
}

}  // namespace

std::vector<std::string> ProgramArguments(const std::string& commandLine)
{
    std::vector<std::string> arguments = SplitWindowsCommandLine(commandLine);
    size_t start = commandLine.find_first_not_of(" \t");
    if (arguments.empty() || start == std::string::npos || commandLine[start] == '"' ||
        arguments[0].find('/') == std::string::npos || StartsAsProgram(arguments[0])) {
        return arguments;
    }
    for (size_t blank = commandLine.find(' ', start); blank != std::string::npos;
         blank = commandLine.find(' ', blank + 1)) {
        size_t next = commandLine.find(' ', blank + 1);
        std::string candidate = commandLine.substr(start, next == std::string::npos
                                                              ? std::string::npos
                                                              : next - start);
        if (StartsAsProgram(candidate)) {
            std::vector<std::string> rest = next == std::string::npos
                                                ? std::vector<std::string>{}
                                                : SplitWindowsCommandLine(commandLine.substr(next));
            rest.insert(rest.begin(), candidate);
            return rest;
        }
    }
    return arguments;
}
