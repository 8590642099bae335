#include "platform/posix/files/capped_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace posix::files {

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
    // Room for the whole file as its size says, and one byte more to tell a file of exactly
    // `limit` bytes from a longer one; a file that grows meanwhile gets more room in steps.
    constexpr size_t kStep = size_t{64} * 1024;
    const auto stated = static_cast<uint64_t>(status.st_size < 0 ? 0 : status.st_size);
    size_t room = static_cast<size_t>(stated < limit ? stated : limit) + 1;
    size_t used = 0;
    out.resize(room);
    for (;;) {
        ssize_t got = read(file.get(), &out[used], room - used);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            out.clear();
            return ReadOutcome::Failed;
        }
        if (got == 0) {
            out.resize(used);
            return ReadOutcome::Read;
        }
        used += static_cast<size_t>(got);
        if (used > limit) {
            out.resize(limit);
            return ReadOutcome::TooLarge;
        }
        if (used == room) {
            room = used + kStep < limit + 1 ? used + kStep : limit + 1;
            out.resize(room);
        }
    }
}

}  // namespace posix::files
