// Little-endian fields of PE files and version blocks, read byte by byte so that neither the
// host's byte order nor the alignment of the source matters.
#pragma once

#include <cstddef>
#include <cstdint>

namespace posix::version {

inline uint16_t ReadLe16(const uint8_t* bytes)
{
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

inline uint32_t ReadLe32(const uint8_t* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

}  // namespace posix::version
