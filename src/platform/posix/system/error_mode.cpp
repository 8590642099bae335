// The process error mode. Nothing on this platform shows an error box, so the mode is only
// kept and handed back, as the caller that sets it and sets it back expects.
#include "platform/win32.h"

namespace {
UINT gErrorMode = 0;
}

UINT WINAPI SetErrorMode(UINT mode)
{
    UINT previous = gErrorMode;
    gErrorMode = mode;
    return previous;
}
