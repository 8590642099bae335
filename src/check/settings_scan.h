// The settings file read line by line as the profile reading sees it, so that problems can be
// told with their line numbers: sections, keys, and bytes the reading passes over.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"

struct IniKey {
    std::string name;
    std::string value;  // as the profile reading gives it
    unsigned line;
    char removedQuote;  // the quote character of the pair the reading removed, or '\0'
};

struct IniSection {
    std::string name;
    unsigned line;  // 0 for keys before any section header
    std::vector<IniKey> keys;
};

struct IniScan {
    bool utf8Mark = false;
    std::vector<unsigned> nulLines;     // lines holding a NUL byte
    std::vector<unsigned> unreadLines;  // neither section, key, comment nor blank
    std::vector<IniSection> sections;   // in file order, duplicates kept
};

IniScan ScanSettingsText(const std::string& bytes);

// Reads at most `cap` bytes of a file; false when it cannot be opened.
bool ReadFileBounded(const std::string& path, size_t cap, std::string* bytes, bool* cut);

// n when the section name is "App<n>" (letters in any case, n without leading zeros, 32 bits),
// by the pass's own rule; `n` may be null.
bool AppSectionNumber(const std::string& name, UINT* n);

// The first key of that name in the section (names compared as the profile compares them).
const IniKey* FindKey(const IniSection& section, const std::string& name);

// The section the profile reading takes entry n's keys from: the first of that name.
const IniSection* EntrySection(const IniScan& scan, UINT n);

// The entry numbers up to `last` that have a section, in ascending order: the others read as
// four empty keys and are skipped, so walking these alone gives the same verdicts in far
// fewer steps when Count is huge.
std::vector<UINT> EntriesWithSection(UINT last, const IniScan& scan);
