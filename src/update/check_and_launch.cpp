#include "update/check_and_launch.h"

#include "core/run_settings.h"
#include "update/app_entry.h"
#include "update/decide_update.h"
#include "update/install_log.h"

namespace {

// Starts the setup program shown normally and does not wait for it: the command line alone
// names the program, found as the system finds the first word of a typed command. Nothing
// waits for it to settle, so a setup program without a message loop cannot hold the pass.
// Returns 0 when it started, otherwise the platform's error number (never 0).
DWORD StartSetupProgram(LPSTR commandLine)
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
        return 0;
    }
    DWORD error = GetLastError();
    return error != 0 ? error : ERROR_GEN_FAILURE;
}

}  // namespace

void CheckAndLaunchApp(UINT n, EntryOutcome* outcome)
{
    EntryOutcome local;
    EntryOutcome& done = outcome != nullptr ? *outcome : local;
    done.n = n;
    AppEntry& entry = done.entry;
    if (!ReadAppEntry(n, gRunSettings.settingsPath, &entry)) {
        done.verdict = EntryVerdict::Skipped;
        return;
    }
    if (DecideUpdateWithEvidence(entry.destination, entry.source, &done.evidence) == UpToDate) {
        done.verdict = done.evidence.step == SourceNotFound ? EntryVerdict::NotDue
                                                            : EntryVerdict::Current;
        return;
    }
    done.verdict = EntryVerdict::Due;
    // The line is in the log (or given up) before the setup program starts.
    WriteInstallLogLine(entry.name);
    done.startError = StartSetupProgram(entry.setupApp);
    done.start = done.startError == 0 ? StartResult::Started : StartResult::Failed;
}
