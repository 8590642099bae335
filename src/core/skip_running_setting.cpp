#include "core/skip_running_setting.h"

UINT ReadSkipRunningSetups(LPCSTR settingsPath)
{
    return GetPrivateProfileIntA("Quorvel", "SkipRunningSetups", 0, settingsPath);
}
