#include "core/spread_setting.h"

SpreadSetting ReadSpreadSetting(LPCSTR settingsPath)
{
    SpreadSetting setting{};
    setting.written = GetPrivateProfileIntA("Quorvel", "SpreadSeconds", 0, settingsPath);
    setting.seconds =
        setting.written < kLongestSpreadSeconds ? setting.written : kLongestSpreadSeconds;
    return setting;
}
