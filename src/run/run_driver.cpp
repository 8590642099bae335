#include "run/run_driver.h"

#include "core/program_paths.h"
#include "core/pump_messages.h"
#include "core/run_settings.h"
#include "core/settings_names.h"
#include "core/spread_setting.h"
#include "run/entry_bound.h"
#include "run/run_line.h"
#include "run/switch_pass.h"
#include "update/check_and_launch.h"
#include "update/delay_wait.h"
#include "update/expand_variables.h"
#include "update/install_log.h"
#include "update/pass_report.h"
#include "update/spread_wait.h"

namespace {

// Applies each switch the pass accepts to the run's settings as it is met.
class RunSettingsSink final : public SwitchSink {
public:
    void Take(const SwitchStep& step) override
    {
        if (step.fault != SwitchFault::None) {
            return;
        }
        const CmdParameter& item = *step.item;
        switch (step.kind) {
        case SwitchKind::Log:
            if (HasValue(item)) {
                lstrcpyA(gRunSettings.logPath, item.value);
            }
            gRunSettings.logSwitch = item.isOn;
            break;
        case SwitchKind::Ini:
            lstrcpyA(gRunSettings.settingsPath, item.value);
            break;
        case SwitchKind::Install: {
            // A program path that is not known whole registers nothing.
            char path[MAX_PATH];
            if (GetProgramPath(path)) {
                AddToRunLine(path);
            }
            break;
        }
        }
    }
};

void ReadNames()
{
    DWORD size = kNameFieldSize;
    gRunSettings.namesObtained = 0;
    if (!GetComputerNameA(gRunSettings.computerName, &size)) {
        return;
    }
    size = kNameFieldSize;
    if (!GetUserNameA(gRunSettings.userName, &size)) {
        return;
    }
    gRunSettings.namesObtained = 1;
}

void ExamineEntries(PassReport* report)
{
    UINT count = GetPrivateProfileIntA(kQuorvelSection, kCountKey, 0, gRunSettings.settingsPath);
    UINT last = LastEntryToExamine(count, gRunSettings.settingsPath);
    gRunSettings.expandVariables = ReadExpandVariables(gRunSettings.settingsPath);
    // n stops at the top of the range instead of wrapping round to 0.
    for (UINT n = 1; n != 0 && n <= last; ++n) {
        EntryOutcome outcome;
        CheckAndLaunchApp(n, &outcome);
        report->AddEntry(outcome);
        PumpMessages();
    }
}

}  // namespace

bool ApplySwitchLine(LPCSTR line)
{
    RunSettingsSink sink;
    SwitchPassRecord record;
    return PassSwitchLine(line, SwitchOrigin{}, &sink, &record);
}

bool ApplyOptionsFileAt(LPCSTR path)
{
    // Binary mode: the reader applies the text rules itself, the same on every platform.
    FILE* stream = _fsopen(path, "rb", _SH_DENYWR);
    if (stream == nullptr) {
        return true;
    }
    RunSettingsSink sink;
    SwitchPassRecord record;
    bool passed = PassOptionsStream(stream, &sink, &record);
    fclose(stream);
    return passed;
}

int RunQuorvel(HINSTANCE instance, LPCSTR commandTail)
{
    ResetRunSettings(instance);
    char optionsPath[kBesidePathRoom];
    BuildOptionsFilePath(optionsPath, kBesidePathRoom);
    RunSettingsSink sink;
    if (RunSwitchPass(optionsPath, commandTail, &sink).refused) {
        return 1;
    }
    ReadNames();
    if (gRunSettings.logSwitch) {
        OpenInstallLog();
    }
    if (gRunSettings.settingsPath[0] == '\0') {
        BuildDefaultSettingsPath(gRunSettings.settingsPath, kBesidePathRoom);
    }
    // With ReportFolder set, the pass reports what it did once its last setup has started.
    PassReport report;
    if (gRunSettings.namesObtained) {
        report.Begin(gRunSettings.settingsPath, gRunSettings.computerName, gRunSettings.userName);
    }

    ATOM delayClass = RegisterDelayClass();
    UINT delay = GetPrivateProfileIntA(kQuorvelSection, kDelayKey, 0, gRunSettings.settingsPath);
    // A wait cut short by a stop request skips the entries but still tidies up.
    bool waitCompleted = true;
    if (delayClass != 0 && delay != 0) {
        waitCompleted = WaitForDelay(delay) != FALSE;
    }
    // Then a random part of SpreadSeconds, on the same window class, so that workstations
    // that log on together do not all reach the share and the log at once.
    if (waitCompleted) {
        UINT spread = ReadSpreadSetting(gRunSettings.settingsPath).seconds;
        if (delayClass != 0 && spread != 0) {
            waitCompleted = WaitForSpread(spread) != FALSE;
        }
    }
    if (waitCompleted) {
        ExamineEntries(&report);
    }
    report.Finish(waitCompleted);

    UnregisterDelayClass();
    if (gRunSettings.logStream != nullptr) {
        CloseInstallLog();
    }
    return 0;
}

int EndRunOutOfMemory()
{
    // Nothing here may allocate; the window class and any window go with the process.
    CloseInstallLog();
    return kOutOfMemoryStatus;
}
