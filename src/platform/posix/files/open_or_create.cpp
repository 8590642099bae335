#include "platform/posix/files/open_or_create.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/files/folder_of.h"

namespace posix::files {

namespace {

// A new file takes the read and write bits of its folder for owner, group and others, as a
// new file on Windows takes its folder's permissions: a log made in a folder that everyone
// may write can be written by everyone, one in a private folder stays private.
bool FolderReadWriteBits(const char* path, mode_t& bits)
{
    struct stat folder {};
    if (stat(FolderOf(path).c_str(), &folder) != 0) {
        return false;
    }
    bits = folder.st_mode & 0666;
    return true;
}

}  // namespace

int OpenOrCreate(const char* path, int flags)
{
    const int existing = (flags & ~O_CREAT) | O_CLOEXEC;
    constexpr int kTries = 3;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        int fd = open(path, existing);
        if (fd >= 0 || errno != ENOENT) {
            return fd;
        }
        mode_t bits = 0;
        if (!FolderReadWriteBits(path, bits)) {
            return -1;
        }
        fd = open(path, existing | O_CREAT | O_EXCL, bits);
        if (fd >= 0) {
            fchmod(fd, bits);  // the umask narrowed them; a failure leaves the narrower mode
            return fd;
        }
        if (errno != EEXIST) {
            return -1;
        }
    }
    return -1;
}

}  // namespace posix::files
