#include "platform/posix/files/capped_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace profile {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

ReadOutcome ReadFileCapped(const char* path, size_t limit, std::string& out, struct stat* opened)
{
    out.clear();
    if (path == nullptr || *path == '\0') {
        return ReadOutcome::Missing;
    }
    // O_NONBLOCK: a named pipe in place of the file must not hold the program up.
    Descriptor file(open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0) {
        return (errno == ENOENT || errno == ENOTDIR) ? ReadOutcome::Missing : ReadOutcome::Failed;
    }
    struct stat status {};
    if (fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return ReadOutcome::Failed;
    }
    if (opened != nullptr) {
        *opened = status;
    }
    constexpr size_t kChunk = 64 * 1024;
    char chunk[kChunk];
    for (;;) {
        // One byte past the limit is asked for, to tell a file of exactly `limit` bytes from
        // a longer one.
        size_t wanted = limit - out.size() + 1;
        ssize_t got = read(file.get(), chunk, wanted < kChunk ? wanted : kChunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            out.clear();
            return ReadOutcome::Failed;
        }
        if (got == 0) {
            return ReadOutcome::Read;
        }
        out.append(chunk, static_cast<size_t>(got));
        if (out.size() > limit) {
            out.resize(limit);
            return ReadOutcome::TooLarge;
        }
    }
}

}  // namespace profile
