#include "update/check_and_launch.h"

#include "core/run_settings.h"
#include "update/decide_update.h"
#include "update/install_log.h"

namespace {

constexpr int kFieldRoom = MAX_PATH;  // 259 characters and a terminator

void ReadEntryKey(LPCSTR section, LPCSTR key, LPSTR field)
{
    GetPrivateProfileStringA(section, key, "", field, kFieldRoom, gRunSettings.settingsPath);
}

}  // namespace

void CheckAndLaunchApp(UINT n)
{
    char section[16];  // "App" and up to ten digits
    wsprintfA(section, "App%u", n);

    char name[kFieldRoom];
    char source[kFieldRoom];
    char destination[kFieldRoom];
    char setupApp[kFieldRoom];
    ReadEntryKey(section, "Name", name);
    ReadEntryKey(section, "Source", source);
    ReadEntryKey(section, "Destination", destination);
    ReadEntryKey(section, "SetupApp", setupApp);
    if (name[0] == '\0' || source[0] == '\0' || destination[0] == '\0' || setupApp[0] == '\0') {
        return;
    }

    if (DecideUpdate(destination, source) == UpToDate) {
        return;
    }
    // The line is in the log (or given up) before the setup program starts.
    WriteInstallLogLine(name);
    WinExec(setupApp, SW_SHOWNORMAL);
}
