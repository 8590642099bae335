// The parts of a PE32 or PE32+ file that locate its resources: the resource data directory
// and the section table that maps relative virtual addresses to file offsets.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/posix/files/bounded_file.h"

namespace posix::version {

struct PeSection {
    uint32_t virtualAddress = 0;
    uint32_t extent = 0;  // bytes of the section that are both in the file and in the image
    uint32_t rawOffset = 0;
};

struct PeLayout {
    uint32_t resourceRva = 0;
    std::vector<PeSection> sections;

    // The file offset of `length` bytes at `rva`, when they lie wholly inside one section's
    // data in the file; nothing otherwise.
    std::optional<uint64_t> FileOffsetOf(uint32_t rva, uint32_t length) const;
};

// Reads the DOS header, the PE headers and the section table. Nothing when the file is not a
// PE32 or PE32+ image, has no resource directory, or any header is cut short or absurd.
// `pe32Plus`, when given, is set as soon as the headers show which of the two the file is
// (so also for an image without resources), and left alone otherwise.
std::optional<PeLayout> ReadPeLayout(const posix::files::BoundedFile& file,
                                     std::optional<bool>* pe32Plus = nullptr);

}  // namespace posix::version
