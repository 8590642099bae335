// C runtime streams with the Windows runtime's open modes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/files/open_or_create.h"
#include "platform/win32.h"

namespace {

constexpr char kCtrlZ = 26;

// Reading side of a text-mode stream: carriage returns are dropped and the first Ctrl-Z
// ends the file, as the Windows runtime's text mode does.
struct TextReader {
    int fd;
    bool ended;
};

ssize_t ReadText(void* cookie, char* out, size_t size)
{
    TextReader* reader = static_cast<TextReader*>(cookie);
    size_t delivered = 0;
    while (delivered == 0 && !reader->ended) {
        ssize_t got = read(reader->fd, out, size);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got < 0 ? -1 : 0;
        }
        for (ssize_t i = 0; i < got; ++i) {
            if (out[i] == kCtrlZ) {
                reader->ended = true;
                break;
            }
            if (out[i] != '\r') {
                out[delivered++] = out[i];
            }
        }
    }
    return static_cast<ssize_t>(delivered);
}

int CloseText(void* cookie)
{
    TextReader* reader = static_cast<TextReader*>(cookie);
    int result = close(reader->fd);
    delete reader;
    return result;
}

int OpenFlags(const char* mode)
{
    bool plus = std::strchr(mode, '+') != nullptr;
    switch (mode[0]) {
    case 'r':
        return plus ? O_RDWR : O_RDONLY;
    case 'w':
        return (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
    case 'a':
        return (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
    default:
        return -1;
    }
}

}  // namespace

FILE* _fsopen(const char* path, const char* mode, int)
{
    // Share modes have no POSIX counterpart: other processes are never kept out.
    int flags = (path != nullptr && mode != nullptr) ? OpenFlags(mode) : -1;
    if (flags < 0) {
        errno = EINVAL;
        return nullptr;
    }
    int fd = (flags & O_CREAT) != 0 ? posix::files::OpenOrCreate(path, flags)
                                    : open(path, flags | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    bool textRead = std::strchr(mode, 't') != nullptr && (flags & O_ACCMODE) == O_RDONLY;
    if (textRead) {
        TextReader* reader = new TextReader{fd, false};
        FILE* stream = fopencookie(reader, "r",
                                   cookie_io_functions_t{ReadText, nullptr, nullptr, CloseText});
        if (stream == nullptr) {
            CloseText(reader);
        }
        return stream;
    }
    char fdMode[4] = {mode[0], '\0', '\0', '\0'};
    if (std::strchr(mode, '+') != nullptr) {
        fdMode[1] = '+';
    }
    FILE* stream = fdopen(fd, fdMode);
    if (stream == nullptr) {
        close(fd);
    }
    return stream;
}

int _fileno(FILE* stream)
{
    return fileno(stream);
}

intptr_t _get_osfhandle(int fd)
{
    return fd;
}
