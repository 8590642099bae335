#include "run/entry_bound.h"

#include <new>

#include "core/settings_names.h"
#include "text/ascii_case.h"

namespace {

// The list grows by doubling from the first size; a list longer than the last size is not
// read, and the pass then runs to the count as it would without the bound.
constexpr DWORD kFirstListSize = 64 * 1024;
constexpr DWORD kLastListSize = 16 * 1024 * 1024;
constexpr UINT kNoEntry = 0;  // 0 is never an entry

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The highest entry number among the NUL-ended names in the first `length` bytes of a list.
UINT HighestEntryIn(const char* list, DWORD length)
{
    UINT highest = kNoEntry;
    const char* listEnd = list + length;
    for (const char* name = list; name < listEnd;) {
        const char* nameEnd = name;
        while (nameEnd < listEnd && *nameEnd != '\0') {
            ++nameEnd;
        }
        UINT n = EntryNumberOf(name, nameEnd);
        highest = n > highest ? n : highest;
        name = nameEnd + 1;
    }
    return highest;
}

}  // namespace

UINT EntryNumberOf(const char* name, const char* end)
{
    while (name != end && IsBlank(*name)) {
        ++name;
    }
    while (end != name && IsBlank(end[-1])) {
        --end;
    }
    for (const char* prefix = kEntrySectionPrefix; *prefix != '\0'; ++prefix, ++name) {
        if (name == end || LowerAscii(*name) != LowerAscii(*prefix)) {
            return kNoEntry;
        }
    }
    if (name == end || *name == '0') {
        return kNoEntry;
    }
    unsigned long long n = 0;
    for (; name != end; ++name) {
        if (*name < '0' || *name > '9') {
            return kNoEntry;
        }
        n = n * 10 + static_cast<unsigned>(*name - '0');
        if (n > 0xFFFFFFFFull) {
            return kNoEntry;
        }
    }
    return static_cast<UINT>(n);
}

UINT LastEntryToExamine(UINT count, LPCSTR settingsPath)
{
    for (DWORD size = kFirstListSize; size <= kLastListSize; size *= 2) {
        char* list = new (std::nothrow) char[size];
        if (list == nullptr) {
            return count;
        }
        // A return of size - 2 may mean a cut list, so only a shorter one is taken as whole.
        DWORD length = GetPrivateProfileSectionNamesA(list, size, settingsPath);
        if (length + 2 < size) {
            UINT highest = HighestEntryIn(list, length);
            delete[] list;
            return highest < count ? highest : count;
        }
        delete[] list;
    }
    return count;
}
