// Read-only access to one regular file by bounded positional reads: every read names its
// offset and length, must lie wholly inside the file, and fails rather than come back short.
// Small reads are served from one window of the file read ahead, so the headers, resource
// directories and version block of a small file cost one read in all.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/posix/files/file_identity.h"

namespace posix::files {

class BoundedFile {
public:
    BoundedFile() = default;
    ~BoundedFile();
    BoundedFile(const BoundedFile&) = delete;
    BoundedFile& operator=(const BoundedFile&) = delete;

    // Opens `path` for reading; anything but a regular file (a folder, a pipe, a device) is
    // refused, and opening never blocks.
    bool Open(const char* path);
    // Takes over `descriptor`, open for reading and described by `status`, and closes it when
    // done; refused (and closed at once) like Open unless it is a regular file.
    bool Adopt(int descriptor, const struct stat& status);

    uint64_t size() const { return size_; }
    // The stat of the opened file.
    const posix::files::FileIdentity& identity() const { return identity_; }

    // Fills `out` with `length` bytes from `offset`. False when the range reaches past the
    // end of the file or the file cannot deliver all of it.
    bool ReadAt(uint64_t offset, size_t length, void* out) const;

    static constexpr size_t kWindowSize = size_t{16} * 1024;

private:
    bool ReadDirect(uint64_t offset, size_t length, void* out) const;
    bool FillWindow(uint64_t offset, size_t length) const;

    int descriptor_ = -1;
    uint64_t size_ = 0;
    posix::files::FileIdentity identity_;
    mutable unsigned char window_[kWindowSize];
    mutable uint64_t windowStart_ = 0;
    mutable size_t windowLength_ = 0;
};

}  // namespace posix::files
