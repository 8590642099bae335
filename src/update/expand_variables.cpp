#include "update/expand_variables.h"
#include "core/settings_names.h"

namespace {

// The Windows expansion may report a need of up to twice the characters for an ANSI result
// (it counts in the wide form), so the room is doubled and the length checked after.
constexpr DWORD kExpansionRoom = 2 * MAX_PATH + 2;

}  // namespace

bool ReadExpandVariables(LPCSTR settingsPath)
{
    return GetPrivateProfileIntA(kQuorvelSection, kExpandVariablesKey, 0, settingsPath) != 0;
}

bool ExpandEntryValue(LPCSTR written, LPSTR out)
{
    char expanded[kExpansionRoom];
    DWORD needed = ExpandEnvironmentStringsA(written, expanded, kExpansionRoom);
    out[0] = '\0';
    if (needed == 0 || needed > kExpansionRoom || lstrlenA(expanded) >= MAX_PATH) {
        return false;
    }
    lstrcpyA(out, expanded);
    return true;
}

bool ExpandEntryFields(AppEntry* entry)
{
    char* fields[] = {entry->source, entry->destination, entry->setupApp};
    for (char* field : fields) {
        char expanded[MAX_PATH];
        ExpandEntryValue(field, expanded);
        lstrcpyA(field, expanded);
    }
    return entry->source[0] != '\0' && entry->destination[0] != '\0' && entry->setupApp[0] != '\0';
}
