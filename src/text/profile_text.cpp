#include "text/profile_text.h"

#include <cstdint>

namespace profile_text {

namespace {

void AppendUtf8(std::string& out, uint32_t codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// UTF-16 after its mark to UTF-8; a lone surrogate becomes U+FFFD, an odd last byte is
// dropped.
std::string DecodeUtf16(std::string_view bytes, bool bigEndian)
{
    auto unitAt = [&](size_t i) {
        auto first = static_cast<uint8_t>(bytes[i]);
        auto second = static_cast<uint8_t>(bytes[i + 1]);
        return static_cast<uint32_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    };
    constexpr uint32_t kReplacement = 0xFFFD;
    std::string out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i + 1 < bytes.size()) {
        uint32_t unit = unitAt(i);
        i += 2;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            uint32_t low = i + 1 < bytes.size() ? unitAt(i) : 0;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                i += 2;
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            } else {
                AppendUtf8(out, kReplacement);
            }
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            AppendUtf8(out, kReplacement);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

}  // namespace

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text)
{
    size_t first = 0;
    while (first < text.size() && IsBlank(text[first])) {
        ++first;
    }
    size_t last = text.size();
    while (last > first && IsBlank(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

std::string_view StripMatchingQuotes(std::string_view text)
{
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front()) {
        return text.substr(1, text.size() - 2);
    }
    return text;
}

size_t Utf8MarkLength(std::string_view bytes)
{
    return bytes.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
}

bool HasUtf16Mark(std::string_view bytes)
{
    return bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF";
}

std::string DecodeProfileBytes(std::string bytes)
{
    std::string_view view(bytes);
    if (size_t mark = Utf8MarkLength(view); mark != 0) {
        return bytes.erase(0, mark);
    }
    if (HasUtf16Mark(view)) {
        return DecodeUtf16(view.substr(2), view[0] == '\xFE');
    }
    return bytes;
}

bool NextLine(std::string_view text, size_t position, LineSpan& line)
{
    if (position >= text.size()) {
        return false;
    }
    size_t end = position;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') {
        ++end;
    }
    size_t next = end;
    if (next < text.size()) {
        bool crLf = text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n';
        next += crLf ? 2 : 1;
    }
    line = LineSpan{position, end, next};
    return true;
}

ProfileLine ClassifyLine(std::string_view line)
{
    ProfileLine result;
    std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty()) {
        return result;
    }
    if (trimmed.front() == ';') {
        result.kind = LineKind::Comment;
        return result;
    }
    if (trimmed.front() == '[') {
        // The name runs to the last ']' on the line: "[a]b]" names "a]b", "[s]junk" names "s".
        size_t close = trimmed.rfind(']');
        if (close != std::string_view::npos) {
            result.kind = LineKind::Header;
            result.name = TrimBlanks(trimmed.substr(1, close - 1));
            return result;
        }
    }
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        result.kind = LineKind::Other;
        return result;
    }
    result.kind = LineKind::Entry;
    result.name = TrimBlanks(line.substr(0, equals));
    result.value = line.substr(equals + 1);
    result.valueOffset = equals + 1;
    return result;
}

std::string EntryValue(std::string_view rawValue)
{
    size_t nul = rawValue.find('\0');
    if (nul != std::string_view::npos) {
        rawValue = rawValue.substr(0, nul);
    }
    return std::string(StripMatchingQuotes(TrimBlanks(rawValue)));
}

}  // namespace profile_text
