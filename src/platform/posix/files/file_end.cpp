// Setting where a file ends, through the descriptor behind a stream's handle: the install log
// cuts a line that failed part way back off.
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

#include "platform/win32.h"

namespace {

int DescriptorOf(HANDLE file)
{
    intptr_t value = reinterpret_cast<intptr_t>(file);
    return (value < 0 || value > std::numeric_limits<int>::max()) ? -1 : static_cast<int>(value);
}

}  // namespace

BOOL WINAPI SetFilePointerEx(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER newPointer,
                             DWORD moveMethod)
{
    int fd = DescriptorOf(file);
    if (fd < 0 || moveMethod != FILE_BEGIN || distance.QuadPart < 0) {
        return FALSE;
    }
    off_t at = lseek(fd, static_cast<off_t>(distance.QuadPart), SEEK_SET);
    if (at < 0) {
        return FALSE;
    }
    if (newPointer != nullptr) {
        newPointer->QuadPart = at;
    }
    return TRUE;
}

BOOL WINAPI SetEndOfFile(HANDLE file)
{
    int fd = DescriptorOf(file);
    if (fd < 0) {
        return FALSE;
    }
    off_t at = lseek(fd, 0, SEEK_CUR);
    if (at < 0) {
        return FALSE;
    }
    int result;
    do {
        result = ftruncate(fd, at);
    } while (result != 0 && errno == EINTR);
    return result == 0 ? TRUE : FALSE;
}
