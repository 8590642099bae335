// The stand-in's translation of a C library error into the platform's error numbers, for the
// calls that report GetLastError.
#pragma once

#include "platform/posix/types.h"

namespace posix::system {

// The Win32 error number for a C library errno: the usual ones mapped (ENOENT to
// ERROR_FILE_NOT_FOUND, EACCES to ERROR_ACCESS_DENIED, ENOEXEC to ERROR_BAD_EXE_FORMAT, ...),
// any other as QUORVEL_ERRNO_ERROR with the errno in its low bits.
DWORD Win32ErrorFromErrno(int error);

}  // namespace posix::system
