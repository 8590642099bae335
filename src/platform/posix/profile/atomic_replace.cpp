#include "platform/posix/profile/atomic_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/posix/files/folder_of.h"

namespace posix::profile {

namespace {

bool CreateFolders(const std::string& folder)
{
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        std::string prefix = folder.substr(0, slash);
        if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            break;
        }
    }
    struct stat status {};
    return stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The file a link points to; the path itself when it is not a link.
bool ResolveTarget(const std::string& path, std::string& target)
{
    struct stat status {};
    if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
        target = path;
        return true;
    }
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        return false;  // a dangling link: do not replace the link with a file
    }
    target = resolved;
    std::free(resolved);
    return true;
}

bool WriteAll(int fd, const std::string& content)
{
    size_t done = 0;
    while (done < content.size()) {
        ssize_t written = write(fd, content.data() + done, content.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

void SyncFolder(const std::string& folder)
{
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);  // makes the rename itself durable; nothing to undo when it fails
        close(fd);
    }
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, const std::string& content, Link link)
{
    std::string target = path;
    if (path.empty() || (link == Link::Follow && !ResolveTarget(path, target))) {
        return false;
    }
    std::string folder = posix::files::FolderOf(target);
    if (!CreateFolders(folder)) {
        return false;
    }
    mode_t mode = 0600;
    struct stat existing {};
    if (lstat(target.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode)) {
        if (!S_ISREG(existing.st_mode)) {
            return false;
        }
        mode = existing.st_mode & 07777;
    }

    std::string pattern = target + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool written = WriteAll(fd, content) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
    written = (close(fd) == 0) && written;
    if (!written || rename(name.data(), target.c_str()) != 0) {
        unlink(name.data());
        return false;
    }
    SyncFolder(folder);
    return true;
}

}  // namespace posix::profile
