#include "platform/posix/profile/utf16_encode.h"

#include <cstdint>

namespace profile {

namespace {

// The code point that starts at `at`, which then moves past it; nothing when the bytes there
// are not the shortest well-formed UTF-8 of a scalar value.
std::optional<uint32_t> NextCodePoint(std::string_view text, size_t& at)
{
    auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    uint8_t lead = byte(at);
    size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3
                                    : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || at + length > text.size()) {
        return std::nullopt;
    }
    constexpr uint32_t kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    uint32_t codePoint = lead & kLeadBits[length];
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return std::nullopt;
        }
        codePoint = (codePoint << 6) | (byte(at + i) & 0x3F);
    }
    if (codePoint < kSmallest[length] || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return std::nullopt;
    }
    at += length;
    return codePoint;
}

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

}  // namespace profile
