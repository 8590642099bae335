// The thread's last error, in Win32 numbers, so that the core reads a failed start the same way
// on both platforms.
#include <cerrno>

#include "platform/posix/system/errno_error.h"
#include "platform/win32.h"

namespace {
thread_local DWORD gLastError = 0;
}

DWORD WINAPI GetLastError()
{
    return gLastError;
}

void WINAPI SetLastError(DWORD error)
{
    gLastError = error;
}

namespace posix::system {

DWORD Win32ErrorFromErrno(int error)
{
    switch (error) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
        return ERROR_ACCESS_DENIED;
    case ENOMEM:
    case EAGAIN:
        return ERROR_NOT_ENOUGH_MEMORY;
    case ENOEXEC:
        return ERROR_BAD_EXE_FORMAT;
    default:
        return QUORVEL_ERRNO_ERROR | static_cast<DWORD>(error);
    }
}

}  // namespace posix::system
