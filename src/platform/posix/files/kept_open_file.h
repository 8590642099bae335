// The file that a search of an exact path opened, kept for the version calls that follow on
// the same path: the decision then opens, stats and reads each of its two files once, and the
// version it reads belongs to the very file whose time the search gave.
#pragma once

#include <sys/stat.h>

namespace posix::files {

// Keeps `descriptor`, an open regular file found at `path` as `status` describes it, and owns
// it from now on. Only the two files of one decision are kept: a third closes the oldest.
void KeepOpenFile(const char* path, int descriptor, const struct stat& status);

// Closes the file kept for `path`, if any: a new search of the path starts afresh.
void ForgetOpenFile(const char* path);

// Hands the file kept for `path` to the caller, who closes it; -1 when none is kept.
int TakeOpenFile(const char* path, struct stat* status);

}  // namespace posix::files
