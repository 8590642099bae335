// File handles: opening a file as CreateFileA does, asking what an open handle is, and
// turning a handle into a C runtime stream. A handle is the file's descriptor.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

#include "platform/posix/files/open_or_create.h"
#include "platform/posix/process/start_tokens.h"
#include "platform/win32.h"

namespace {

int DescriptorOf(HANDLE file)
{
    intptr_t value = reinterpret_cast<intptr_t>(file);
    return (value < 0 || value > std::numeric_limits<int>::max()) ? -1 : static_cast<int>(value);
}

HANDLE HandleOf(int fd)
{
    return fd < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd));
}

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES security,
                          DWORD disposition, DWORD flags, HANDLE templateFile)
{
    if (path == nullptr || *path == '\0' || security != nullptr || templateFile != nullptr) {
        return INVALID_HANDLE_VALUE;
    }
    int mode;
    if (access == GENERIC_WRITE) {
        mode = O_WRONLY;
    } else if (access == GENERIC_READ) {
        mode = O_RDONLY;
    } else if (access == (GENERIC_READ | GENERIC_WRITE)) {
        mode = O_RDWR;
    } else {
        return INVALID_HANDLE_VALUE;
    }
    // Opening never waits and never takes a terminal, as on Windows: a FIFO without a reader
    // fails at once, and one with a reader opens and shows itself as a pipe. Share modes have
    // no POSIX counterpart: other processes are never kept out.
    mode |= O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    if ((flags & FILE_FLAG_OPEN_REPARSE_POINT) != 0) {
        mode |= O_NOFOLLOW;  // a link in the last place is refused, never followed
    }
    int fd;
    if (disposition == OPEN_EXISTING) {
        fd = open(path, mode);
    } else if (disposition == OPEN_ALWAYS) {
        fd = posix::files::OpenOrCreate(path, mode | O_CREAT);
    } else {
        return INVALID_HANDLE_VALUE;
    }
    return HandleOf(fd);
}

DWORD WINAPI GetFileType(HANDLE file)
{
    struct stat status {};
    int fd = DescriptorOf(file);
    if (fd < 0 || fstat(fd, &status) != 0) {
        return FILE_TYPE_UNKNOWN;
    }
    if (S_ISREG(status.st_mode) || S_ISDIR(status.st_mode)) {
        return FILE_TYPE_DISK;
    }
    if (S_ISCHR(status.st_mode)) {
        return FILE_TYPE_CHAR;
    }
    if (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode)) {
        return FILE_TYPE_PIPE;
    }
    return FILE_TYPE_UNKNOWN;  // a block device
}

// The attributes, size, number of names and identity of the file; its times are not given.
BOOL WINAPI GetFileInformationByHandle(HANDLE file, LPBY_HANDLE_FILE_INFORMATION information)
{
    struct stat status {};
    int fd = DescriptorOf(file);
    if (information == nullptr || fd < 0 || fstat(fd, &status) != 0) {
        return FALSE;
    }
    *information = BY_HANDLE_FILE_INFORMATION{};
    information->dwFileAttributes = S_ISDIR(status.st_mode) ? FILE_ATTRIBUTE_DIRECTORY
                                                            : FILE_ATTRIBUTE_NORMAL;
    uint64_t size = status.st_size > 0 ? static_cast<uint64_t>(status.st_size) : 0;
    information->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    information->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
    information->dwVolumeSerialNumber = static_cast<DWORD>(status.st_dev);
    information->nNumberOfLinks = status.st_nlink > 0xFFFFFFFFu
                                      ? 0xFFFFFFFFu
                                      : static_cast<DWORD>(status.st_nlink);
    uint64_t index = static_cast<uint64_t>(status.st_ino);
    information->nFileIndexHigh = static_cast<DWORD>(index >> 32);
    information->nFileIndexLow = static_cast<DWORD>(index & 0xFFFFFFFFu);
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE handle)
{
    if (posix::process::IsStartToken(handle)) {
        return TRUE;  // owns nothing
    }
    int fd = DescriptorOf(handle);
    return fd >= 0 && close(fd) == 0 ? TRUE : FALSE;
}

int _open_osfhandle(intptr_t handle, int flags)
{
    int fd = DescriptorOf(reinterpret_cast<HANDLE>(handle));
    int status = fd >= 0 ? fcntl(fd, F_GETFL) : -1;
    if (status < 0) {
        return -1;
    }
    // From here on the descriptor behaves as the runtime's: writes at the end when asked to,
    // and waits as any file's do.
    status &= ~O_NONBLOCK;
    if ((flags & _O_APPEND) != 0) {
        status |= O_APPEND;
    }
    return fcntl(fd, F_SETFL, status) == 0 ? fd : -1;
}

FILE* _fdopen(int fd, const char* mode)
{
    return fdopen(fd, mode);
}

int _close(int fd)
{
    return close(fd);
}
