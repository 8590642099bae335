#include "check/settings_scan.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "check/text_format.h"
#include "run/entry_bound.h"
#include "text/ascii_case.h"
#include "text/profile_text.h"

namespace {

// One line as the profile reading classifies it, kept with its number.
void ScanLine(std::string_view raw, unsigned number, IniScan* scan)
{
    if (raw.find('\0') != std::string_view::npos) {
        scan->nulLines.push_back(number);
    }
    profile_text::ProfileLine line = profile_text::ClassifyLine(raw);
    if (line.kind == profile_text::LineKind::Header) {
        scan->sections.push_back({std::string(line.name), number, {}});
        return;
    }
    if (line.kind == profile_text::LineKind::Other) {
        scan->unreadLines.push_back(number);
        return;
    }
    if (line.kind != profile_text::LineKind::Entry) {
        return;  // blank or comment
    }
    if (scan->sections.empty()) {
        scan->sections.push_back({"", 0, {}});
    }
    // The value as the profile reading gives it, and the quote pair that reading removed.
    std::string value = profile_text::EntryValue(line.value);
    std::string_view kept = profile_text::TrimBlanks(line.value.substr(0, line.value.find('\0')));
    char quote = kept.size() > value.size() ? kept.front() : '\0';
    scan->sections.back().keys.push_back({std::string(line.name), value, number, quote});
}

}  // namespace

IniScan ScanSettingsText(const std::string& bytes)
{
    IniScan scan;
    size_t at = 0;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        scan.utf8Mark = true;
        at = 3;
    } else if (bytes.compare(0, 2, "\xFF\xFE") == 0) {
        // UTF-16 (little-endian, as Windows writes it): characters beyond one byte show as '?'.
        std::string narrow;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            narrow += bytes[i + 1] == '\0' ? bytes[i] : '?';
        }
        return ScanSettingsText(narrow);
    }
    unsigned number = 1;
    profile_text::LineSpan span;
    for (; profile_text::NextLine(bytes, at, span); at = span.next) {
        ScanLine(std::string_view(bytes).substr(span.begin, span.end - span.begin), number++,
                 &scan);
    }
    return scan;
}

bool ReadFileBounded(const std::string& path, size_t cap, std::string* bytes, bool* cut)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    bytes->clear();
    char block[65536];
    size_t got = 0;
    while (bytes->size() < cap && (got = std::fread(block, 1, sizeof block, file)) > 0) {
        bytes->append(block, got < cap - bytes->size() ? got : cap - bytes->size());
    }
    *cut = bytes->size() >= cap && std::fgetc(file) != EOF;
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed;
}

bool AppSectionNumber(const std::string& name, UINT* n)
{
    UINT number = EntryNumberOf(name.data(), name.data() + name.size());
    if (n != nullptr) {
        *n = number;
    }
    return number != 0;
}

const IniKey* FindKey(const IniSection& section, const std::string& name)
{
    for (const IniKey& key : section.keys) {
        if (EqualIgnoringAsciiCase(key.name, name)) {
            return &key;
        }
    }
    return nullptr;
}

const IniSection* EntrySection(const IniScan& scan, UINT n)
{
    for (const IniSection& section : scan.sections) {
        UINT number = 0;
        if (AppSectionNumber(section.name, &number) && number == n) {
            return &section;
        }
    }
    return nullptr;
}

std::vector<UINT> EntriesWithSection(UINT last, const IniScan& scan)
{
    std::vector<UINT> entries;
    for (const IniSection& section : scan.sections) {
        UINT n = 0;
        if (AppSectionNumber(section.name, &n) && n <= last) {
            entries.push_back(n);
        }
    }
    std::sort(entries.begin(), entries.end());
    entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
    return entries;
}
