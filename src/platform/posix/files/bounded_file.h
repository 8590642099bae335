// Read-only access to one regular file by bounded positional reads: every read names its
// offset and length, must lie wholly inside the file, and fails rather than come back short.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pe_version {

class BoundedFile {
public:
    BoundedFile() = default;
    ~BoundedFile();
    BoundedFile(const BoundedFile&) = delete;
    BoundedFile& operator=(const BoundedFile&) = delete;

    // Opens `path` for reading; anything but a regular file (a folder, a pipe, a device) is
    // refused, and opening never blocks.
    bool Open(const char* path);

    uint64_t size() const { return size_; }

    // Fills `out` with `length` bytes from `offset`. False when the range reaches past the
    // end of the file or the file cannot deliver all of it.
    bool ReadAt(uint64_t offset, size_t length, void* out) const;

private:
    int descriptor_ = -1;
    uint64_t size_ = 0;
};

}  // namespace pe_version
