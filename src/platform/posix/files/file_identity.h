// Telling by one stat whether a file read earlier is still the file that was read.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <ctime>

namespace posix::files {

// What a stat says about a file that changes when its content does.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    timespec modified{};
    timespec changed{};
};

FileIdentity IdentityOf(const struct stat& status);

// The moment to pass as `readAt` below, taken before the file is opened.
timespec ReadMoment();

// Whether what was read at `readAt` from the file as `kept` describes it is still what the
// file holds when a stat finds it as `now` describes it. File times move in coarse steps (a
// clock tick, two seconds on some file systems), so after a change within two seconds before
// the read another change could leave every field as it was: such a read is not trusted.
bool StillTheSameFile(const FileIdentity& kept, const timespec& readAt, const FileIdentity& now);

}  // namespace posix::files
