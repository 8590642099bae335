// The text of an INI profile: decoding its bytes, walking its lines and telling what each
// line is. The reader and the WIN.INI writer share this, so both see the same sections and
// keys in a file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace profile_text {

bool IsBlank(char c);
std::string_view TrimBlanks(std::string_view text);
// Removes one pair of matching quotes (both '"' or both '\'') around the whole text.
std::string_view StripMatchingQuotes(std::string_view text);

// The bytes of a file as the profile calls see them: a UTF-8 byte-order mark is skipped, a
// UTF-16 file with a mark (either order) is decoded to UTF-8, other bytes are unchanged.
std::string DecodeProfileBytes(std::string bytes);
// True when the bytes start with a UTF-16 byte-order mark.
bool HasUtf16Mark(std::string_view bytes);
// Length of a UTF-8 byte-order mark at the start (3), or 0.
size_t Utf8MarkLength(std::string_view bytes);

// One line of the text: its content [begin, end) and where the next line starts. CR LF, LF
// and a lone CR all end a line; the last line may have no end.
struct LineSpan {
    size_t begin = 0;
    size_t end = 0;
    size_t next = 0;
};
// Takes the line that starts at `position`; false when the text is used up.
bool NextLine(std::string_view text, size_t position, LineSpan& line);

enum class LineKind { Empty, Comment, Header, Entry, Other };

struct ProfileLine {
    LineKind kind = LineKind::Empty;
    std::string_view name;   // a header's section or an entry's key, trimmed
    std::string_view value;  // an entry's text after the '=', untouched
    size_t valueOffset = 0;  // where that text starts within the line
};
ProfileLine ClassifyLine(std::string_view line);

// An entry's value as read: cut at a NUL byte, trimmed, one pair of matching quotes removed.
std::string EntryValue(std::string_view rawValue);

}  // namespace profile_text
