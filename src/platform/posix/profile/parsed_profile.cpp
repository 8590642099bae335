#include "platform/posix/profile/parsed_profile.h"

#include <algorithm>

#include "text/ascii_case.h"
#include "text/profile_text.h"

namespace posix::profile {

namespace {

// Sections with more keys than this get hash slots; fewer are searched in turn, which is
// quicker for the handful of keys an entry has.
constexpr uint32_t kKeysSearchedInTurn = 8;

unsigned char Folded(char c)
{
    return static_cast<unsigned char>(LowerAscii(c));
}

// FNV-1a over the case-folded bytes.
uint64_t FoldedHash(std::string_view text)
{
    uint64_t hash = 14695981039346656037ull;
    for (char c : text) {
        hash = (hash ^ Folded(c)) * 1099511628211ull;
    }
    return hash;
}

// Slots for `count` items: a power of two at least twice the count.
uint32_t SlotCountFor(size_t count)
{
    uint32_t slots = 16;
    while (slots < count * 2) {
        slots *= 2;
    }
    return slots;
}

// Puts `value` in the first free slot from the hash's place on (linear probing; the table is
// never more than half full).
void PlaceInFreeSlot(std::vector<uint32_t>& slots, uint64_t hash, uint32_t value)
{
    size_t mask = slots.size() - 1;
    size_t at = static_cast<size_t>(hash) & mask;
    while (slots[at] != 0) {
        at = (at + 1) & mask;
    }
    slots[at] = value;
}

}  // namespace

ParsedProfile::ParsedProfile(std::string text) : text_(std::move(text))
{
    Index();
}

// `part` is a view into text_, which the read limit keeps far below 4 GiB.
ParsedProfile::Span ParsedProfile::SpanOf(std::string_view part) const
{
    return Span{static_cast<uint32_t>(part.data() - text_.data()),
                static_cast<uint32_t>(part.size())};
}

void ParsedProfile::Index()
{
    std::string_view text(text_);
    // Lines before the first header form the section "". It counts as the first section of
    // that name only once it holds an entry, so a file that opens with "[]" still has one.
    // Later sections of a name already seen are not merged: their entries are dropped.
    bool collecting = false;
    bool beforeFirstHeader = true;
    // Duplicate names are found with the slots built so far, so they are built as we go.
    sectionSlots_.assign(SlotCountFor(64), 0);
    auto open = [&](std::string_view name) {
        sections_.push_back(Section{SpanOf(name), static_cast<uint32_t>(entries_.size()), 0, 0, 0});
        if (sections_.size() * 2 > sectionSlots_.size()) {
            std::vector<uint32_t> grown(sectionSlots_.size() * 2, 0);
            sectionSlots_.swap(grown);
            for (uint32_t i = 0; i < sections_.size() - 1; ++i) {
                PlaceInFreeSlot(sectionSlots_, FoldedHash(View(sections_[i].name)), i + 1);
            }
        }
        PlaceInFreeSlot(sectionSlots_, FoldedHash(name), static_cast<uint32_t>(sections_.size()));
    };
    // Room for an entry per line at once: growing the table step by step would hold two
    // copies of it at the end.
    entries_.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    profile_text::LineSpan span;
    for (size_t position = 0; profile_text::NextLine(text, position, span); position = span.next) {
        profile_text::ProfileLine line =
            profile_text::ClassifyLine(text.substr(span.begin, span.end - span.begin));
        if (line.kind == profile_text::LineKind::Header) {
            beforeFirstHeader = false;
            collecting = FindSection(line.name) == nullptr;
            if (collecting) {
                open(line.name);
            }
            std::string_view shown = line.name.substr(0, line.name.find('\0'));
            if (!shown.empty()) {
                names_.push_back(shown);
            }
        } else if (line.kind == profile_text::LineKind::Entry) {
            if (beforeFirstHeader && !collecting) {
                open(text.substr(span.begin, 0));  // the section "", placed where it starts
                collecting = true;
            }
            if (collecting) {
                entries_.push_back(Entry{SpanOf(line.name), SpanOf(line.value)});
                ++sections_.back().entryCount;
            }
        }
    }
    for (Section& section : sections_) {
        IndexSection(section);
    }
}

void ParsedProfile::IndexSection(Section& section)
{
    if (section.entryCount <= kKeysSearchedInTurn) {
        return;
    }
    section.firstSlot = static_cast<uint32_t>(entrySlots_.size());
    section.slotCount = SlotCountFor(section.entryCount);
    entrySlots_.resize(entrySlots_.size() + section.slotCount, 0);
    uint32_t* slots = entrySlots_.data() + section.firstSlot;
    size_t mask = section.slotCount - 1;
    for (uint32_t i = section.firstEntry; i < section.firstEntry + section.entryCount; ++i) {
        size_t at = static_cast<size_t>(FoldedHash(View(entries_[i].key))) & mask;
        bool duplicate = false;
        while (slots[at] != 0 && !duplicate) {
            duplicate = EqualIgnoringAsciiCase(View(entries_[slots[at] - 1].key),
                                               View(entries_[i].key));
            at = (at + 1) & mask;
        }
        if (!duplicate) {
            slots[at] = i + 1;  // the first key of a name wins
        }
    }
}

const ParsedProfile::Section* ParsedProfile::FindSection(std::string_view name) const
{
    size_t mask = sectionSlots_.size() - 1;
    for (size_t at = static_cast<size_t>(FoldedHash(name)) & mask; sectionSlots_[at] != 0;
         at = (at + 1) & mask) {
        const Section& section = sections_[sectionSlots_[at] - 1];
        if (EqualIgnoringAsciiCase(View(section.name), name)) {
            return &section;
        }
    }
    return nullptr;
}

const ParsedProfile::Entry* ParsedProfile::FindEntry(const Section& section,
                                                     std::string_view key) const
{
    if (section.slotCount == 0) {
        for (uint32_t i = section.firstEntry; i < section.firstEntry + section.entryCount; ++i) {
            if (EqualIgnoringAsciiCase(View(entries_[i].key), key)) {
                return &entries_[i];
            }
        }
        return nullptr;
    }
    const uint32_t* slots = entrySlots_.data() + section.firstSlot;
    size_t mask = section.slotCount - 1;
    for (size_t at = static_cast<size_t>(FoldedHash(key)) & mask; slots[at] != 0;
         at = (at + 1) & mask) {
        if (EqualIgnoringAsciiCase(View(entries_[slots[at] - 1].key), key)) {
            return &entries_[slots[at] - 1];
        }
    }
    return nullptr;
}

std::optional<std::string> ParsedProfile::Value(std::string_view section,
                                                std::string_view key) const
{
    const Section* found = FindSection(profile_text::TrimBlanks(section));
    const Entry* entry = found != nullptr ? FindEntry(*found, profile_text::TrimBlanks(key))
                                          : nullptr;
    if (entry == nullptr) {
        return std::nullopt;
    }
    return profile_text::EntryValue(View(entry->value));
}

}  // namespace posix::profile
