// Loading a PE file's version block from disk.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/posix/files/file_identity.h"

namespace posix::version {

// The version block of the PE file at `path`, exactly as long as its own length field says,
// and only when its root value is a whole fixed file information. Empty otherwise: a missing
// or unreadable file, a file that is not a PE image, a malformed one, and one without a
// version resource all read as "no version resource".
// `identity` and `readAt`, when given, receive the stat of the file read and the moment before
// it was opened (see StillTheSameFile).
std::vector<uint8_t> LoadVersionBlock(const char* path,
                                      posix::files::FileIdentity* identity = nullptr,
                                      timespec* readAt = nullptr);

// The same from a file already open: `descriptor` (a regular file as `status` describes it),
// which is closed when done.
std::vector<uint8_t> LoadVersionBlockFrom(int descriptor, const struct stat& status);

}  // namespace posix::version
