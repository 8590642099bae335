#include "platform/posix/version/version_block.h"

#include "platform/posix/version/le_bytes.h"

namespace posix::version {

std::optional<RootValue> FindRootValue(const uint8_t* block, size_t available)
{
    if (block == nullptr || available < kRootHeaderSize) {
        return std::nullopt;
    }
    const size_t blockLength = ReadLe16(block);
    const size_t valueLength = ReadLe16(block + 2);
    if (blockLength < kRootHeaderSize || blockLength > available) {
        return std::nullopt;
    }
    size_t position = kRootHeaderSize;
    while (true) {
        if (blockLength - position < 2) {
            return std::nullopt;  // the key runs off the end of the block
        }
        uint16_t unit = ReadLe16(block + position);
        position += 2;
        if (unit == 0) {
            break;
        }
    }
    const size_t valueOffset = (position + 3) & ~size_t{3};
    if (valueLength == 0 || valueOffset > blockLength || valueLength > blockLength - valueOffset) {
        return std::nullopt;
    }
    return RootValue{valueOffset, valueLength};
}

}  // namespace posix::version
