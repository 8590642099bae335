#include "check/settings_scan.h"

#include <algorithm>
#include <cstdio>

#include "check/text_format.h"
#include "run/entry_bound.h"

namespace {

std::string Trim(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) {
        return "";
    }
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

// One matching pair of quotes around a value is removed, as the profile reading does.
std::string Unquote(const std::string& value)
{
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
        value.back() == value[0]) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

void ScanLine(const std::string& raw, unsigned number, IniScan* scan)
{
    std::string line = raw;
    size_t nul = line.find('\0');
    if (nul != std::string::npos) {
        scan->nulLines.push_back(number);
    }
    line = Trim(line);
    if (line.empty() || line[0] == ';') {
        return;
    }
    size_t close = line.rfind(']');
    if (line[0] == '[' && close != std::string::npos) {
        scan->sections.push_back({Trim(line.substr(1, close - 1)), number, {}});
        return;
    }
    size_t equals = line.find('=');
    if (equals == std::string::npos) {
        scan->unreadLines.push_back(number);
        return;
    }
    if (scan->sections.empty()) {
        scan->sections.push_back({"", 0, {}});
    }
    std::string value = Unquote(Trim(line.substr(equals + 1)));
    value = value.substr(0, value.find('\0'));  // a NUL ends the value
    scan->sections.back().keys.push_back({Trim(line.substr(0, equals)), value, number});
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
        scan.utf16 = true;
        std::string narrow;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
            narrow += bytes[i + 1] == '\0' ? bytes[i] : '?';
        }
        IniScan decoded = ScanSettingsText(narrow);
        decoded.utf16 = true;
        return decoded;
    }
    unsigned number = 1;
    while (at < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", at);
        if (end == std::string::npos) {
            end = bytes.size();
        }
        ScanLine(bytes.substr(at, end - at), number++, &scan);
        at = end;
        if (at < bytes.size() && bytes[at] == '\r') {
            ++at;
            if (at < bytes.size() && bytes[at] == '\n') {
                ++at;
            }
        } else if (at < bytes.size()) {
            ++at;
        }
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
    *n = EntryNumberOf(name.data(), name.data() + name.size());
    return *n != 0;
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
