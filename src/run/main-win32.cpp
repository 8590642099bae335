// Windows start-up: the command tail comes from the process command line by our own rule.
// The program runs on a log-on desktop with nobody to answer a dialog, so no failure may
// show one: not a missing disk, not a crash, not the C runtime's abort or error message.
#include <stdlib.h>

#include <new>

#include "platform/win32.h"
#include "run/command_tail.h"
#include "run/run_driver.h"

namespace {

void SilenceFatalErrors()
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    // The runtime's fatal messages (abort, pure virtual call) go to the absent standard
    // error instead of a message box.
    _set_error_mode(_OUT_TO_STDERR);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    SilenceFatalErrors();
    try {
        return RunQuorvel(instance, FindCommandTail(GetCommandLineA()));
    } catch (const std::bad_alloc&) {
        return EndRunOutOfMemory();
    }
}
