// Opening a file that may have to be created, as a shared log needs it.
#pragma once

namespace posix::files {

// Opens `path` with `flags` (which hold O_CREAT). An existing file is opened without O_CREAT:
// in a world-writable sticky folder the kernel may refuse O_CREAT on another user's file
// (fs.protected_regular) even when its mode allows writing. A missing one is made with O_EXCL,
// which never follows a link, and takes its folder's read and write bits; when another process
// made it first, it is opened as an existing file after all. The descriptor, or -1.
int OpenOrCreate(const char* path, int flags);

}  // namespace posix::files
