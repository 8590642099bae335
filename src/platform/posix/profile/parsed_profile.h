// A profile's text parsed once into tables, so that each section, key and the list of section
// names is found without walking the text again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace profile {

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
    struct FoldedHash {
        size_t operator()(std::string_view text) const;
    };
    struct FoldedEqual {
        bool operator()(std::string_view a, std::string_view b) const;
    };
    struct KeyRef {
        uint32_t section;
        std::string_view key;
    };
    struct KeyRefHash {
        size_t operator()(const KeyRef& ref) const;
    };
    struct KeyRefEqual {
        bool operator()(const KeyRef& a, const KeyRef& b) const;
    };

    void Index();

    std::string text_;  // never changed after construction: the views below point into it
    std::unordered_map<std::string_view, uint32_t, FoldedHash, FoldedEqual> sections_;
    std::unordered_map<KeyRef, std::string_view, KeyRefHash, KeyRefEqual> values_;
    std::vector<std::string_view> names_;
};

}  // namespace profile
