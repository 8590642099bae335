// A profile's text parsed once into tables, so that each section, key and the list of section
// names is found without walking the text again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace posix::profile {

class ParsedProfile {
public:
    // Takes the decoded text (see DecodeProfileBytes) and indexes it.
    explicit ParsedProfile(std::string text);
    ParsedProfile(const ParsedProfile&) = delete;
    ParsedProfile& operator=(const ParsedProfile&) = delete;

    // The value of `key` in `section` (names trimmed, ASCII case ignored): only the first
    // section of a name counts and its first such key wins; keys before any header belong to
    // the section "". Nothing when the section or key is absent.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;

    // Every header's name in file order, duplicates included; names are trimmed, cut at a
    // NUL byte, and empty names are left out.
    const std::vector<std::string_view>& SectionNames() const { return names_; }

private:
    // Places in text_, kept as offsets so that a large file's tables stay small.
    struct Span {
        uint32_t at = 0;
        uint32_t length = 0;
    };
    struct Entry {
        Span key;
        Span value;  // untouched text after the '='
    };
    // A section's entries lie together in entries_, in file order. A section with many keys
    // gets its own hash slots, so that a lookup stays short whatever the section holds.
    struct Section {
        Span name;
        uint32_t firstEntry = 0;
        uint32_t entryCount = 0;
        uint32_t firstSlot = 0;
        uint32_t slotCount = 0;  // 0: the entries are searched in turn
    };

    std::string_view View(Span span) const
    {
        return std::string_view(text_).substr(span.at, span.length);
    }
    Span SpanOf(std::string_view part) const;
    void Index();
    void IndexSection(Section& section);
    const Section* FindSection(std::string_view name) const;
    const Entry* FindEntry(const Section& section, std::string_view key) const;

    std::string text_;  // never changed after construction: the views below point into it
    std::vector<Section> sections_;       // first section of each name only
    std::vector<uint32_t> sectionSlots_;  // open addressing: section index + 1, 0 when free
    std::vector<Entry> entries_;
    std::vector<uint32_t> entrySlots_;  // per large section: entry index + 1, 0 when free
    std::vector<std::string_view> names_;
};

}  // namespace posix::profile
