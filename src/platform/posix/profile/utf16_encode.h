// Writing text back as UTF-16, for a WIN.INI that was read as UTF-16.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace posix::profile {

// The UTF-8 text as UTF-16 with a byte-order mark in the given order; nothing when the text is
// not well-formed UTF-8 (a stray byte, an overlong form, a surrogate, past U+10FFFF), since
// such bytes have no UTF-16 form.
std::optional<std::string> EncodeUtf16WithMark(std::string_view utf8, bool bigEndian);

}  // namespace posix::profile
