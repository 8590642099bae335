#include "platform/posix/files/bounded_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

namespace posix::files {

BoundedFile::~BoundedFile()
{
    if (descriptor_ >= 0) {
        close(descriptor_);
    }
}

bool BoundedFile::Open(const char* path)
{
    if (path == nullptr || *path == '\0' || descriptor_ >= 0) {
        return false;
    }
    // O_NONBLOCK keeps a named pipe from holding the open up; it is refused just below.
    int descriptor = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0) {
        return false;
    }
    struct stat status {};
    if (fstat(descriptor, &status) != 0) {
        close(descriptor);
        return false;
    }
    return Adopt(descriptor, status);
}

bool BoundedFile::Adopt(int descriptor, const struct stat& status)
{
    if (descriptor_ >= 0 || !S_ISREG(status.st_mode) || status.st_size < 0) {
        close(descriptor);
        return false;
    }
    descriptor_ = descriptor;
    size_ = static_cast<uint64_t>(status.st_size);
    identity_ = posix::files::IdentityOf(status);
    return true;
}

bool BoundedFile::ReadAt(uint64_t offset, size_t length, void* out) const
{
    if (descriptor_ < 0 || offset > size_ || length > size_ - offset) {
        return false;
    }
    if (length > kWindowSize) {
        return ReadDirect(offset, length, out);
    }
    bool inWindow = offset >= windowStart_ && offset - windowStart_ <= windowLength_ &&
                    length <= windowLength_ - (offset - windowStart_);
    if (!inWindow && !FillWindow(offset, length)) {
        return false;
    }
    std::memcpy(out, window_ + (offset - windowStart_), length);
    return true;
}

// A file no larger than the window is read whole at once. Of a larger one the headers come
// from its first 4 KiB, where they lie in nearly every file, and anything else from a window
// that starts at the range, where the resource directory and the data it leads to follow.
bool BoundedFile::FillWindow(uint64_t offset, size_t length) const
{
    constexpr uint64_t kHeaderRoom = 4096;
    uint64_t start = (size_ <= kWindowSize || offset + length <= kHeaderRoom) ? 0 : offset;
    uint64_t room = (start == 0 && size_ > kWindowSize) ? kHeaderRoom : kWindowSize;
    uint64_t available = size_ - start;
    auto windowLength = static_cast<size_t>(available < room ? available : room);
    windowLength_ = 0;
    if (!ReadDirect(start, windowLength, window_)) {
        return false;
    }
    windowStart_ = start;
    windowLength_ = windowLength;
    return true;
}

bool BoundedFile::ReadDirect(uint64_t offset, size_t length, void* out) const
{
    if (offset + length > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) {
        return false;
    }
    auto* cursor = static_cast<char*>(out);
    size_t done = 0;
    while (done < length) {
        ssize_t got = pread(descriptor_, cursor + done, length - done,
                            static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;  // an error, or the file shrank under us
        }
        done += static_cast<size_t>(got);
    }
    return true;
}

}  // namespace posix::files
