// The running setup's mark on POSIX: a file per entry in a folder of this account's own, with an
// open-file-description lock over it. The descriptor is registered inheritable and the setup
// program is started inheriting it, so the lock lasts until the setup and every descendant
// that kept the descriptor have closed it or ended; it goes with the last of them,
// even when they are killed, and a re-used process id cannot hold it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/posix/process/inheritable_descriptors.h"
#include "platform/running_setup.h"
#include "text/setup_mark_key.h"

namespace {

// root's marks are the machine's (/run/quorvel, root's alone); any other account's live in its
// runtime folder, which the session manager makes for it and clears at its last log-off.
std::string MarkFolder()
{
    uid_t account = geteuid();
    return account == 0 ? "/run/quorvel" : "/run/user/" + std::to_string(account) + "/quorvel";
}

// A folder that another account could write would let it plant or remove marks: only one that
// is a real folder of this account's, writable by nobody else, holds them.
bool IsOwnFolder(const std::string& folder)
{
    struct stat status {};
    return lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == geteuid() && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::string MarkPath(const std::string& folder, LPCSTR settingsPath, LPCSTR setupApp)
{
    return folder + "/setup-" + SetupMarkKey(std::to_string(geteuid()), settingsPath, setupApp);
}

struct flock WholeFileLock(short type)
{
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return lock;  // from 0 to the end, whatever the length
}

HANDLE HandleOf(int fd)
{
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(fd) + 1);
}

int DescriptorOf(HANDLE handle)
{
    return static_cast<int>(reinterpret_cast<intptr_t>(handle) - 1);
}

}  // namespace

EarlierSetup FindEarlierSetup(LPCSTR settingsPath, LPCSTR setupApp)
{
    std::string folder = MarkFolder();
    if (!IsOwnFolder(folder)) {
        return EarlierSetup::Unknown;
    }
    int fd = open(MarkPath(folder, settingsPath, setupApp).c_str(),
                  O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return errno == ENOENT ? EarlierSetup::NotRunning : EarlierSetup::Unknown;
    }
    // Asking about a lock takes none, so a pass deciding at this moment is not disturbed.
    struct flock lock = WholeFileLock(F_WRLCK);
    int asked = fcntl(fd, F_OFD_GETLK, &lock);
    close(fd);
    if (asked != 0) {
        return EarlierSetup::Unknown;
    }
    return lock.l_type == F_UNLCK ? EarlierSetup::NotRunning : EarlierSetup::StillRunning;
}

MarkClaim ClaimSetupMark(LPCSTR settingsPath, LPCSTR setupApp, SetupMark* mark)
{
    mark->handle = nullptr;
    std::string folder = MarkFolder();
    mkdir(folder.c_str(), 0700);  // already there, most times
    if (!IsOwnFolder(folder)) {
        return MarkClaim::Unavailable;
    }
    int fd = open(MarkPath(folder, settingsPath, setupApp).c_str(),
                  O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600);
    if (fd < 0) {
        return MarkClaim::Unavailable;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(fd);
        return MarkClaim::Unavailable;
    }
    struct flock lock = WholeFileLock(F_WRLCK);
    if (fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        int error = errno;
        close(fd);
        return error == EAGAIN || error == EACCES ? MarkClaim::HeldByEarlierSetup
                                                  : MarkClaim::Unavailable;
    }
    // The setup program started with inherited handles gets this descriptor, and the lock.
    if (!posix::process::SetDescriptorInheritable(fd, true)) {
        close(fd);
        return MarkClaim::Unavailable;
    }
    mark->handle = HandleOf(fd);
    return MarkClaim::Claimed;
}

BOOL InheritsSetupMark(const SetupMark& mark)
{
    return mark.handle != nullptr ? TRUE : FALSE;
}

void HandSetupMarkTo(const SetupMark&, const PROCESS_INFORMATION&)
{
    // The setup program inherited the descriptor when it started.
}

void ReleaseSetupMark(SetupMark* mark)
{
    if (mark->handle != nullptr) {
        posix::process::SetDescriptorInheritable(DescriptorOf(mark->handle), false);
        close(DescriptorOf(mark->handle));
        mark->handle = nullptr;
    }
}
