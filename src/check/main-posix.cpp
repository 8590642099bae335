// POSIX start-up of the companion program: the arguments as given, the tail rebuilt from them.
#include <cstdio>
#include <string>
#include <vector>

#include "check/check_driver.h"
#include "text/argv_tail.h"

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::string out;
    int status = RunCheck(arguments, BuildCommandTail(argc, argv), BuildCommandTail, &out);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? status : status | kProblemBit;
}
