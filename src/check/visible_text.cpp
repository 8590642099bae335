#include "check/visible_text.h"

#include <cstdio>

#include "text/utf8_text.h"

namespace {

std::string ByteEscape(unsigned char byte)
{
    char text[8];
    std::snprintf(text, sizeof text, "<0x%02X>", static_cast<unsigned>(byte));
    return text;
}

std::string CodePointEscape(uint32_t codePoint)
{
    char text[16];
    std::snprintf(text, sizeof text, "<U+%04X>", static_cast<unsigned>(codePoint));
    return text;
}

// Controls of the C1 set, and the marks and controls that change the order text is shown in.
bool IsHiddenCodePoint(uint32_t codePoint)
{
    return (codePoint >= 0x80 && codePoint <= 0x9F) || codePoint == 0x061C || codePoint == 0x200E ||
           codePoint == 0x200F || (codePoint >= 0x202A && codePoint <= 0x202E) ||
           (codePoint >= 0x2066 && codePoint <= 0x2069);
}

}  // namespace

std::string VisibleText(std::string_view text, bool utf8)
{
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        auto byte = static_cast<unsigned char>(text[at]);
        bool lineEnd = byte == '\n' ||
                       (byte == '\r' && at + 1 < text.size() && text[at + 1] == '\n');
        if (byte < 0x80 || !utf8) {
            bool control = (byte < 0x20 && !lineEnd) || byte == 0x7F;
            out += control ? ByteEscape(byte) : std::string(1, text[at]);
            ++at;
            continue;
        }
        size_t start = at;
        std::optional<uint32_t> codePoint = NextCodePoint(text, at);
        if (!codePoint) {
            out += ByteEscape(byte);  // not UTF-8: shown byte by byte
            at = start + 1;
        } else if (IsHiddenCodePoint(*codePoint)) {
            out += CodePointEscape(*codePoint);
        } else {
            out.append(text.substr(start, at - start));
        }
    }
    return out;
}
