#include "platform/posix/files/file_identity.h"

namespace posix::files {

namespace {

constexpr time_t kUntrustedSeconds = 2;

bool SameTime(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// True when `moment` lies at least the untrusted span before `reference`.
bool WellBefore(const timespec& moment, const timespec& reference)
{
    if (moment.tv_sec != reference.tv_sec - kUntrustedSeconds) {
        return moment.tv_sec < reference.tv_sec - kUntrustedSeconds;
    }
    return moment.tv_nsec <= reference.tv_nsec;
}

}  // namespace

FileIdentity IdentityOf(const struct stat& status)
{
    FileIdentity identity;
    identity.device = static_cast<uint64_t>(status.st_dev);
    identity.inode = static_cast<uint64_t>(status.st_ino);
    identity.size = static_cast<int64_t>(status.st_size);
    identity.modified = status.st_mtim;
    identity.changed = status.st_ctim;
    return identity;
}

timespec ReadMoment()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

bool StillTheSameFile(const FileIdentity& kept, const timespec& readAt, const FileIdentity& now)
{
    return kept.device == now.device && kept.inode == now.inode && kept.size == now.size &&
           SameTime(kept.modified, now.modified) && SameTime(kept.changed, now.changed) &&
           WellBefore(kept.modified, readAt) && WellBefore(kept.changed, readAt);
}

}  // namespace posix::files
