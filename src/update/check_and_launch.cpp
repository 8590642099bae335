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

// Starts the setup program shown normally and does not wait for it: the command line alone
// names the program, found as the system finds the first word of a typed command. Nothing
// waits for it to settle, so a setup program without a message loop cannot hold the pass.
void StartSetupProgram(LPSTR commandLine)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &started)) {
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }
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
    StartSetupProgram(setupApp);
}
