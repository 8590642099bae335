#include "text/utf8_text.h"

std::optional<uint32_t> NextCodePoint(std::string_view text, size_t& at)
{
    auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    if (at >= text.size()) {
        return std::nullopt;
    }
    uint8_t lead = byte(at);
    size_t length = lead < 0x80           ? 1
                    : (lead >> 5) == 0x6  ? 2
                    : (lead >> 4) == 0xE  ? 3
                    : (lead >> 3) == 0x1E ? 4
                                          : 0;
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

bool IsValidUtf8(std::string_view text)
{
    for (size_t at = 0; at < text.size();) {
        if (!NextCodePoint(text, at)) {
            return false;
        }
    }
    return true;
}
