// The root of a version block: a length, a value length, a type, a UTF-16 key ending in a
// NUL unit, padding to a 4-byte boundary, then the value (the fixed file information).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace posix::version {

constexpr size_t kRootHeaderSize = 6;  // wLength, wValueLength, wType
constexpr size_t kFixedFileInfoSize = 52;

struct RootValue {
    size_t offset = 0;  // from the start of the block
    size_t length = 0;
};

// The root's value, when the block's own length is at least a header, at most `available`,
// and holds the key, the padding and a non-empty value. Nothing else is read.
std::optional<RootValue> FindRootValue(const uint8_t* block, size_t available);

}  // namespace posix::version
