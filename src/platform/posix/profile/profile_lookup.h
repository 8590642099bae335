// Finding one key's value in the decoded text of a profile.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace profile {

// The value of `key` in `section` (names trimmed, case ignored). Only the first section of
// that name is searched and the first matching key wins; keys before any header belong to
// the section "". Nothing when the section or key is absent.
std::optional<std::string> LookupProfileValue(std::string_view text, std::string_view section,
                                              std::string_view key);

// A value read as an unsigned 32-bit number: an optional sign, then "0x" and hex digits or
// decimal digits, up to the first other character; overflow wraps modulo 2^32 and a minus
// negates modulo 2^32. No digits give 0.
uint32_t ParseProfileUnsigned(std::string_view value);

}  // namespace profile
