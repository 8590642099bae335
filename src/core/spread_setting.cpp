#include "core/spread_setting.h"

#include "core/settings_names.h"

SpreadSetting ReadSpreadSetting(LPCSTR settingsPath)
{
    SpreadSetting setting{};
    setting.written = GetPrivateProfileIntA(kQuorvelSection, kSpreadSecondsKey, 0, settingsPath);
    setting.seconds = setting.written < kLongestSpreadSeconds ? setting.written
                                                              : kLongestSpreadSeconds;
    return setting;
}
