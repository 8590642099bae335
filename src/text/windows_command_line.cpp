#include "text/windows_command_line.h"

std::vector<std::string> SplitWindowsCommandLine(const std::string& commandLine)
{
    std::vector<std::string> arguments;
    size_t i = 0;
    const size_t length = commandLine.size();
    for (;;) {
        while (i < length && (commandLine[i] == ' ' || commandLine[i] == '\t')) {
            ++i;
        }
        if (i >= length) {
            return arguments;
        }
        std::string argument;
        bool quoted = false;
        while (i < length && (quoted || (commandLine[i] != ' ' && commandLine[i] != '\t'))) {
            size_t backslashes = 0;
            while (i < length && commandLine[i] == '\\') {
                ++backslashes;
                ++i;
            }
            if (i < length && commandLine[i] == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument += '"';
                } else if (quoted && i + 1 < length && commandLine[i + 1] == '"') {
                    argument += '"';
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                argument.append(backslashes, '\\');
                if (i < length && (quoted || (commandLine[i] != ' ' && commandLine[i] != '\t'))) {
                    argument += commandLine[i++];
                }
            }
        }
        arguments.push_back(argument);
    }
}
