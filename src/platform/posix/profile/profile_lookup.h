// Reading a profile value as a number.
#pragma once

#include <cstdint>
#include <string_view>

namespace posix::profile {

// A value read as an unsigned 32-bit number: an optional sign, then "0x" and hex digits or
// decimal digits, up to the first other character; overflow wraps modulo 2^32 and a minus
// negates modulo 2^32. No digits give 0.
uint32_t ParseProfileUnsigned(std::string_view value);

}  // namespace posix::profile
