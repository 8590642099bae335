// Windows start-up: the command tail comes from the process command line by our own rule.
#include "platform/win32.h"
#include "run/command_tail.h"
#include "run/run_driver.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return RunQuorvel(instance, FindCommandTail(GetCommandLineA()));
}
