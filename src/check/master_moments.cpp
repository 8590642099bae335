#include "check/master_moments.h"

#include <algorithm>
#include <map>

#include "core/settings_names.h"
#include "run/entry_bound.h"
#include "update/app_entry.h"
#include "update/file_stamp.h"

void SetMastersFromSettings(const std::string& settingsPath, LogSummary* summary)
{
    const char* path = settingsPath.c_str();
    UINT last = LastEntryToExamine(GetPrivateProfileIntA(kQuorvelSection, kCountKey, 0, path),
                                   path);
    std::map<std::string, Moment> masters;
    for (UINT n = 1; n != 0 && n <= last; ++n) {
        AppEntry entry;
        FileStamp stamp;
        if (ReadAppEntry(n, path, &entry) && FindFileStamp(entry.source, &stamp)) {
            Moment& master = masters[entry.name];
            master = std::max(master, MomentFromDos(stamp.date, stamp.time));
        }
    }
    for (const auto& master : masters) {
        summary->SetMaster(master.first, master.second);
    }
}
