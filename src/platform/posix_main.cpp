// POSIX start-up: the command tail is rebuilt from the arguments.
#include <string>

#include "platform/posix/process/argv_tail.h"
#include "platform/win32.h"
#include "run/run_driver.h"

int main(int argc, char** argv)
{
    std::string tail = BuildCommandTail(argc, argv);
    // Any non-null value stands for the running module.
    static HINSTANCE__ module;
    return RunQuorvel(&module, tail.c_str());
}
