#include "update/app_entry.h"

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
