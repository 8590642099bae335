#include "update/app_entry.h"

#include <iterator>

#include "core/settings_names.h"

namespace {

void ReadEntryKey(LPCSTR section, LPCSTR key, LPSTR field, LPCSTR settingsPath)
{
    GetPrivateProfileStringA(section, key, "", field, MAX_PATH, settingsPath);
}

}  // namespace

bool ReadAppEntry(UINT n, LPCSTR settingsPath, AppEntry* entry)
{
    wsprintfA(entry->section, "%s%u", kEntrySectionPrefix, n);
    // All four are read before any is tested.
    ReadEntryKey(entry->section, kNameKey, entry->name, settingsPath);
    ReadEntryKey(entry->section, kSourceKey, entry->source, settingsPath);
    ReadEntryKey(entry->section, kDestinationKey, entry->destination, settingsPath);
    ReadEntryKey(entry->section, kSetupAppKey, entry->setupApp, settingsPath);
    return entry->name[0] != '\0' && entry->source[0] != '\0' && entry->destination[0] != '\0' &&
           entry->setupApp[0] != '\0';
}

std::string EmptyEntryKeys(const AppEntry& entry, const char* separator)
{
    const char* const values[] = {entry.name, entry.source, entry.destination, entry.setupApp};
    static_assert(std::size(values) == std::size(kEntryKeys), "one value for each entry key");
    std::string empty;
    for (size_t i = 0; i < std::size(values); ++i) {
        if (values[i][0] == '\0') {
            empty += (empty.empty() ? "" : separator) + std::string(kEntryKeys[i]);
        }
    }
    return empty;
}
