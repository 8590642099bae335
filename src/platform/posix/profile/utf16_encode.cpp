#include "platform/posix/profile/utf16_encode.h"

#include <cstdint>

#include "text/utf8_text.h"

namespace posix::profile {

namespace {

void AppendUnit(std::string& out, uint32_t unit, bool bigEndian)
{
    char high = static_cast<char>((unit >> 8) & 0xFF);
    char low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
}

}  // namespace

std::optional<std::string> EncodeUtf16WithMark(std::string_view utf8, bool bigEndian)
{
    std::string out;
    out.reserve(2 * utf8.size() + 2);
    AppendUnit(out, 0xFEFF, bigEndian);
    for (size_t at = 0; at < utf8.size();) {
        std::optional<uint32_t> codePoint = NextCodePoint(utf8, at);
        if (!codePoint) {
            return std::nullopt;
        }
        if (*codePoint < 0x10000) {
            AppendUnit(out, *codePoint, bigEndian);
        } else {
            uint32_t above = *codePoint - 0x10000;
            AppendUnit(out, 0xD800 + (above >> 10), bigEndian);
            AppendUnit(out, 0xDC00 + (above & 0x3FF), bigEndian);
        }
    }
    return out;
}

}  // namespace posix::profile
