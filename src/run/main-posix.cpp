// POSIX start-up: the command tail is rebuilt from the arguments.
#include <new>
#include <string>

#include "platform/win32.h"
#include "run/run_driver.h"
#include "text/argv_tail.h"
#include "version.h"

// The version, for `strings quorvel | grep QUORVEL_VERSION`: the program itself prints nothing.
// Kept by the compiler although nothing reads it.
extern "C" __attribute__((used))
const char quorvel_version[] = "QUORVEL_VERSION=" QUORVEL_VERSION_TEXT;

int main(int argc, char** argv)
{
    try {
        std::string tail = BuildCommandTail(argc, argv);
        // Any non-null value stands for the running module.
        static HINSTANCE__ module;
        return RunQuorvel(&module, tail.c_str());
    } catch (const std::bad_alloc&) {
        return EndRunOutOfMemory();
    }
}
