// Windows start-up of the companion program, a console program. The arguments are split from
// the command tail by the rules the C runtime uses.
#include <cstdio>
#include <string>
#include <vector>

#include "check/check_driver.h"
#include "platform/win32.h"
#include "run/command_tail.h"
#include "text/argv_tail.h"
#include "text/windows_command_line.h"

int main()
{
    const char* tail = FindCommandTail(GetCommandLineA());
    std::string out;
    int status = RunCheck(SplitWindowsCommandLine(tail), tail, BuildCommandTail, &out);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? status : status | kProblemBit;
}
