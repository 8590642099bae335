#include "platform/posix/profile/profile_lookup.h"

#include "platform/posix/profile/profile_text.h"

namespace profile {

std::optional<std::string> LookupProfileValue(std::string_view text, std::string_view section,
                                              std::string_view key)
{
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    // Lines before the first header form the section "". It counts as the first section of
    // that name only once it holds an entry, so a file that opens with "[]" still has one.
    bool inTarget = section.empty();
    bool beforeFirstHeader = true;
    bool leadingEntries = false;
    LineSpan span;
    for (size_t position = 0; NextLine(text, position, span); position = span.next) {
        ProfileLine line = ClassifyLine(text.substr(span.begin, span.end - span.begin));
        if (line.kind == LineKind::Header) {
            bool leavingTarget = inTarget && !(beforeFirstHeader && !leadingEntries);
            if (leavingTarget) {
                return std::nullopt;  // duplicate sections are not merged
            }
            beforeFirstHeader = false;
            inTarget = EqualsIgnoringCase(line.name, section);
        } else if (line.kind == LineKind::Entry) {
            leadingEntries = leadingEntries || beforeFirstHeader;
            if (inTarget && EqualsIgnoringCase(line.name, key)) {
                return EntryValue(line.value);
            }
        }
    }
    return std::nullopt;
}

uint32_t ParseProfileUnsigned(std::string_view value)
{
    size_t i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    uint32_t result = 0;
    if (value.substr(i, 2) == "0x") {
        for (i += 2; i < value.size(); ++i) {
            char c = value[i];
            uint32_t digit;
            if (c >= '0' && c <= '9') {
                digit = static_cast<uint32_t>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                digit = static_cast<uint32_t>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                digit = static_cast<uint32_t>(c - 'A' + 10);
            } else {
                break;
            }
            result = result * 16u + digit;
        }
    } else {
        for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
            result = result * 10u + static_cast<uint32_t>(value[i] - '0');
        }
    }
    return negative ? 0u - result : result;
}

}  // namespace profile
