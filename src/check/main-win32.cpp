// Windows start-up of the companion program, a console program. The arguments are split from
// the command tail by the rules the C runtime uses.
#include <fcntl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "check/check_driver.h"
#include "platform/win32.h"
#include "run/command_tail.h"
#include "text/argv_tail.h"
#include "text/windows_command_line.h"

namespace {

// Every line ends in exactly CR LF: the report's lines end in LF, the CSV rows in CR LF
// already, so the text goes out in binary mode with each lone LF given its CR.
std::string WithWindowsLineEnds(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            out += '\r';
        }
        out += text[i];
    }
    return out;
}

}  // namespace

int main()
{
    // A drive that is not ready or a share that fails answers with an error, not a box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const char* tail = FindCommandTail(GetCommandLineA());
    std::string out;
    int status = RunCheck(SplitWindowsCommandLine(tail), tail, BuildCommandTail, &out);
    out = WithWindowsLineEnds(out);
    _setmode(_fileno(stdout), _O_BINARY);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? status : status | kProblemBit;
}
