// The handles a started program is handed back as: tokens that own nothing, since the program
// is never waited for.
#pragma once

#include "platform/posix/types.h"

namespace posix::process {

// True for the process and thread handles CreateProcessA hands back.
bool IsStartToken(HANDLE handle);

}  // namespace posix::process
