#include "core/handle_stream.h"

FILE* StreamOverHandle(HANDLE file, int flags, const char* mode)
{
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), flags);
    if (fd < 0) {
        CloseHandle(file);
        return nullptr;
    }
    FILE* stream = _fdopen(fd, mode);
    if (stream == nullptr) {
        _close(fd);  // closes the handle too
    }
    return stream;
}
