// Loading a PE file's version block from disk.
#pragma once

#include <cstdint>
#include <vector>

namespace pe_version {

// The version block of the PE file at `path`, exactly as long as its own length field says,
// and only when its root value is a whole fixed file information. Empty otherwise: a missing
// or unreadable file, a file that is not a PE image, a malformed one, and one without a
// version resource all read as "no version resource".
std::vector<uint8_t> LoadVersionBlock(const char* path);

}  // namespace pe_version
