#include "platform/posix/profile/parsed_profile.h"

#include "platform/posix/profile/profile_text.h"

namespace profile {

namespace {

constexpr uint32_t kSkippedSection = UINT32_MAX;  // a later section of a name already seen

unsigned char Folded(char c)
{
    return static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
}

}  // namespace

size_t ParsedProfile::FoldedHash::operator()(std::string_view text) const
{
    uint64_t hash = 14695981039346656037ull;  // FNV-1a over the case-folded bytes
    for (char c : text) {
        hash = (hash ^ Folded(c)) * 1099511628211ull;
    }
    return static_cast<size_t>(hash);
}

bool ParsedProfile::FoldedEqual::operator()(std::string_view a, std::string_view b) const
{
    return EqualsIgnoringCase(a, b);
}

size_t ParsedProfile::KeyRefHash::operator()(const KeyRef& ref) const
{
    return FoldedHash{}(ref.key) ^ (static_cast<size_t>(ref.section) * 0x9E3779B97F4A7C15ull);
}

bool ParsedProfile::KeyRefEqual::operator()(const KeyRef& a, const KeyRef& b) const
{
    return a.section == b.section && EqualsIgnoringCase(a.key, b.key);
}

ParsedProfile::ParsedProfile(std::string text) : text_(std::move(text))
{
    Index();
}

void ParsedProfile::Index()
{
    std::string_view text(text_);
    // Lines before the first header form the section "". It counts as the first section of
    // that name only once it holds an entry, so a file that opens with "[]" still has one.
    uint32_t current = kSkippedSection;
    bool beforeFirstHeader = true;
    LineSpan span;
    for (size_t position = 0; NextLine(text, position, span); position = span.next) {
        ProfileLine line = ClassifyLine(text.substr(span.begin, span.end - span.begin));
        if (line.kind == LineKind::Header) {
            beforeFirstHeader = false;
            auto added = sections_.emplace(line.name, static_cast<uint32_t>(sections_.size()));
            current = added.second ? added.first->second : kSkippedSection;
            std::string_view shown = line.name.substr(0, line.name.find('\0'));
            if (!shown.empty()) {
                names_.push_back(shown);
            }
        } else if (line.kind == LineKind::Entry) {
            if (beforeFirstHeader && current == kSkippedSection) {
                current = sections_.emplace("", static_cast<uint32_t>(sections_.size())).first->second;
            }
            if (current != kSkippedSection) {
                values_.emplace(KeyRef{current, line.name}, line.value);
            }
        }
    }
}

std::optional<std::string> ParsedProfile::Value(std::string_view section,
                                                std::string_view key) const
{
    auto found = sections_.find(TrimBlanks(section));
    if (found == sections_.end()) {
        return std::nullopt;
    }
    auto value = values_.find(KeyRef{found->second, TrimBlanks(key)});
    if (value == values_.end()) {
        return std::nullopt;
    }
    return EntryValue(value->second);
}

}  // namespace profile
