// File length, where a file ends, and byte-range locks on the descriptor behind a stream's
// handle (the install log cuts a line that failed part way back off). Locks are POSIX
// record locks: they refuse at once when another process holds any byte of the region, and
// they belong to the process, so a second lock by the same process never conflicts with it.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <limits>

#include "platform/win32.h"

namespace {

constexpr DWORD kInvalidFileSize = 0xFFFFFFFF;

int DescriptorOf(HANDLE file)
{
    intptr_t value = reinterpret_cast<intptr_t>(file);
    return (value < 0 || value > std::numeric_limits<int>::max()) ? -1 : static_cast<int>(value);
}

uint64_t Join(DWORD low, DWORD high)
{
    return (static_cast<uint64_t>(high) << 32) | low;
}

// Sets or clears a write lock on [offset, offset + length). A zero length protects nothing and
// conflicts with nothing, so it is granted without touching the file; a region that does not
// fit the file offsets is refused.
BOOL ChangeLock(HANDLE file, short type, uint64_t offset, uint64_t length)
{
    int fd = DescriptorOf(file);
    if (fd < 0) {
        return FALSE;
    }
    if (length == 0) {
        return TRUE;
    }
    const uint64_t limit = static_cast<uint64_t>(std::numeric_limits<off_t>::max());
    if (offset > limit || length > limit - offset) {
        return FALSE;
    }
    struct flock region {};
    region.l_type = type;
    region.l_whence = SEEK_SET;
    region.l_start = static_cast<off_t>(offset);
    region.l_len = static_cast<off_t>(length);
    int result;
    do {
        result = fcntl(fd, F_SETLK, &region);
    } while (result != 0 && errno == EINTR);
    return result == 0 ? TRUE : FALSE;
}

}  // namespace

DWORD WINAPI GetFileSize(HANDLE file, LPDWORD sizeHigh)
{
    struct stat status {};
    int fd = DescriptorOf(file);
    if (fd < 0 || fstat(fd, &status) != 0 || status.st_size < 0) {
        if (sizeHigh != nullptr) {
            *sizeHigh = kInvalidFileSize;
        }
        return kInvalidFileSize;
    }
    uint64_t size = static_cast<uint64_t>(status.st_size);
    if (sizeHigh != nullptr) {
        *sizeHigh = static_cast<DWORD>(size >> 32);
    }
    return static_cast<DWORD>(size & 0xFFFFFFFFu);
}

BOOL WINAPI LockFile(HANDLE file, DWORD offsetLow, DWORD offsetHigh, DWORD lengthLow,
                     DWORD lengthHigh)
{
    return ChangeLock(file, F_WRLCK, Join(offsetLow, offsetHigh), Join(lengthLow, lengthHigh));
}

BOOL WINAPI UnlockFile(HANDLE file, DWORD offsetLow, DWORD offsetHigh, DWORD lengthLow,
                       DWORD lengthHigh)
{
    return ChangeLock(file, F_UNLCK, Join(offsetLow, offsetHigh), Join(lengthLow, lengthHigh));
}

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
