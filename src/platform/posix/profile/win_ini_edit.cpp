#include "platform/posix/profile/win_ini_edit.h"

#include "platform/posix/profile/utf16_encode.h"
#include "text/ascii_case.h"
#include "text/profile_text.h"

namespace posix::profile {

namespace {

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool IsStorableKey(std::string_view key)
{
    return !key.empty() && !HasLineBreak(key) && key.find('=') == std::string_view::npos &&
           key.front() != ';' && key.front() != '[';
}

std::string FirstLineEnd(std::string_view text)
{
    size_t at = text.find_first_of("\r\n");
    if (at == std::string_view::npos) {
        return "\n";
    }
    if (text[at] == '\r') {
        return (at + 1 < text.size() && text[at + 1] == '\n') ? "\r\n" : "\r";
    }
    return "\n";
}

bool EndsWithLineEnd(std::string_view text)
{
    return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

// Where the reader's key sits: the first section of the name, its first such key, and the
// point after the section's last entry (after its header when it has none).
struct KeyPlace {
    bool sectionFound = false;
    bool keyFound = false;
    profile_text::LineSpan keyLine;
    profile_text::ProfileLine keyParts;
    size_t afterLastEntry = 0;
};

KeyPlace FindKey(std::string_view body, std::string_view section, std::string_view key)
{
    KeyPlace place;
    bool inTarget = section.empty();
    bool beforeFirstHeader = true;
    bool leadingEntries = false;
    place.sectionFound = section.empty();
    profile_text::LineSpan span;
    for (size_t position = 0; profile_text::NextLine(body, position, span); position = span.next) {
        profile_text::ProfileLine line =
            profile_text::ClassifyLine(body.substr(span.begin, span.end - span.begin));
        if (line.kind == profile_text::LineKind::Header) {
            if (inTarget && !(beforeFirstHeader && !leadingEntries)) {
                break;  // the first section of the name has ended; later ones are not read
            }
            beforeFirstHeader = false;
            inTarget = EqualIgnoringAsciiCase(line.name, section);
            if (inTarget) {
                place.sectionFound = true;
                place.afterLastEntry = span.next;
            }
        } else if (line.kind == profile_text::LineKind::Entry) {
            leadingEntries = leadingEntries || beforeFirstHeader;
            if (inTarget) {
                place.afterLastEntry = span.next;
                if (EqualIgnoringAsciiCase(line.name, key)) {
                    place.keyFound = true;
                    place.keyLine = span;
                    place.keyParts = line;
                    return place;
                }
            }
        }
    }
    return place;
}

// A UTF-16 file is edited as the UTF-8 text it reads as and written back in its own byte
// order with its mark. Only a file that this gives back byte for byte is edited: a lone
// surrogate or an odd last byte would otherwise be lost.
std::optional<std::string> SetUtf16ProfileEntry(const std::string& bytes, std::string_view section,
                                                std::string_view key, const char* value)
{
    bool bigEndian = bytes[0] == '\xFE';
    std::string text = profile_text::DecodeProfileBytes(bytes);
    if (EncodeUtf16WithMark(text, bigEndian) != bytes) {
        return std::nullopt;
    }
    // The decoded text has no mark of its own: a U+FEFF after the UTF-16 mark is text, as the
    // reading takes it.
    std::optional<std::string> edited = SetProfileEntryAfter(text, 0, section, key, value);
    return edited ? EncodeUtf16WithMark(*edited, bigEndian) : std::nullopt;
}

}  // namespace

std::string EncodeProfileValue(std::string_view value)
{
    bool blankAtEnd = !value.empty() &&
                      (profile_text::IsBlank(value.front()) || profile_text::IsBlank(value.back()));
    bool looksQuoted = profile_text::StripMatchingQuotes(value).size() != value.size();
    if (blankAtEnd || looksQuoted) {
        return "\"" + std::string(value) + "\"";
    }
    return std::string(value);
}

std::optional<std::string> SetProfileEntry(const std::string& text, std::string_view section,
                                           std::string_view key, const char* value)
{
    if (profile_text::HasUtf16Mark(text)) {
        return SetUtf16ProfileEntry(text, section, key, value);
    }
    return SetProfileEntryAfter(text, profile_text::Utf8MarkLength(text), section, key, value);
}

std::optional<std::string> SetProfileEntryAfter(const std::string& text, size_t bodyStart,
                                                std::string_view section, std::string_view key,
                                                const char* value)
{
    section = profile_text::TrimBlanks(section);
    key = profile_text::TrimBlanks(key);
    if (HasLineBreak(section) || !IsStorableKey(key) || (value != nullptr && HasLineBreak(value))) {
        return std::nullopt;
    }
    std::string_view body = std::string_view(text).substr(bodyStart);
    KeyPlace place = FindKey(body, section, key);
    std::string result = text;

    if (place.keyFound) {
        size_t lineStart = bodyStart + place.keyLine.begin;
        if (value == nullptr) {
            return result.erase(lineStart, place.keyLine.next - place.keyLine.begin);
        }
        // Blanks between '=' and the old value stay; the rest of the line is the value.
        size_t valueStart = place.keyParts.valueOffset;
        std::string_view line = body.substr(place.keyLine.begin,
                                            place.keyLine.end - place.keyLine.begin);
        while (valueStart < line.size() && profile_text::IsBlank(line[valueStart])) {
            ++valueStart;
        }
        return result.replace(lineStart + valueStart, line.size() - valueStart,
                              EncodeProfileValue(value));
    }
    if (value == nullptr) {
        return result;  // nothing to remove
    }

    std::string lineEnd = FirstLineEnd(body);
    std::string entry = std::string(key) + "=" + EncodeProfileValue(value) + lineEnd;
    if (!place.sectionFound) {  // never for the section "": the file's start holds it
        entry = "[" + std::string(section) + "]" + lineEnd + entry;
        place.afterLastEntry = body.size();
    }
    size_t insertAt = bodyStart + place.afterLastEntry;
    if (insertAt == result.size() && !body.empty() && !EndsWithLineEnd(body)) {
        entry = lineEnd + entry;  // the last line had no end of its own
    }
    return result.insert(insertAt, entry);
}

}  // namespace posix::profile
