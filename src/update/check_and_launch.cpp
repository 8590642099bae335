#include "update/check_and_launch.h"

#include "core/run_settings.h"
#include "core/skip_running_setting.h"
#include "platform/running_setup.h"
#include "update/app_entry.h"
#include "update/decide_update.h"
#include "update/expand_variables.h"
#include "update/install_log.h"

namespace {

// Starts the setup program shown normally and does not wait for it: the command line alone
// names the program, found as the system finds the first word of a typed command. Nothing
// waits for it to settle, so a setup program without a message loop cannot hold the pass.
// A mark taken for it is handed to it, to hold for as long as it runs.
// Returns 0 when it started, otherwise the platform's error number (never 0).
DWORD StartSetupProgram(LPSTR commandLine, const SetupMark& mark)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, InheritsSetupMark(mark), 0, nullptr,
                       nullptr, &startup, &started)) {
        HandSetupMarkTo(mark, started);
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
    // A value that cannot be expanded whole is an entry not read.
    if (gRunSettings.expandVariables && !ExpandEntryFields(&entry)) {
        done.verdict = EntryVerdict::Skipped;
        return;
    }
    if (DecideUpdateWithEvidence(entry.destination, entry.source, &done.evidence) ==
        UpdateVerdict::UpToDate) {
        done.verdict = done.evidence.step == DecidingStep::SourceNotFound ? EntryVerdict::NotDue
                                                                          : EntryVerdict::Current;
        return;
    }
    // With SkipRunningSetups, a setup that an earlier pass started for this entry and that
    // still runs is left to finish: no second copy, no second line. Where no mark can be kept,
    // the setup starts as it would without the key.
    SetupMark mark;
    if (ReadSkipRunningSetups(gRunSettings.settingsPath) != 0 &&
        ClaimSetupMark(gRunSettings.settingsPath, entry.setupApp, &mark) ==
            MarkClaim::HeldByEarlierSetup) {
        done.verdict = EntryVerdict::InProgress;
        return;
    }
    done.verdict = EntryVerdict::Due;
    // The line is in the log (or given up) before the setup program starts.
    WriteInstallLogLine(entry.name);
    done.startError = StartSetupProgram(entry.setupApp, mark);
    done.start = done.startError == 0 ? StartResult::Started : StartResult::Failed;
    ReleaseSetupMark(&mark);
}
