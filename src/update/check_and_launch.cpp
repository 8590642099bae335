#include "update/check_and_launch.h"

#include "core/run_settings.h"
#include "update/app_entry.h"
#include "update/decide_update.h"
#include "update/expand_variables.h"
#include "update/install_log.h"

namespace {

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
    AppEntry entry;
    if (!ReadAppEntry(n, gRunSettings.settingsPath, &entry)) {
        return;
    }
    if (gRunSettings.expandVariables && !ExpandEntryFields(&entry)) {
        return;
    }
    if (DecideUpdate(entry.destination, entry.source) == UpToDate) {
        return;
    }
    // The line is in the log (or given up) before the setup program starts.
    WriteInstallLogLine(entry.name);
    StartSetupProgram(entry.setupApp);
}
