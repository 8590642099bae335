#include "core/skip_running_setting.h"

#include "core/settings_names.h"

UINT ReadSkipRunningSetups(LPCSTR settingsPath)
{
    return GetPrivateProfileIntA(kQuorvelSection, kSkipRunningSetupsKey, 0, settingsPath);
}
