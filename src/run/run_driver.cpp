#include "run/run_driver.h"

#include "cmdline/command_line.h"
#include "core/program_paths.h"
#include "core/pump_messages.h"
#include "core/run_settings.h"
#include "core/spread_setting.h"
#include "run/entry_bound.h"
#include "run/options_reader.h"
#include "run/run_line.h"
#include "run/switch_rules.h"
#include "update/check_and_launch.h"
#include "update/delay_wait.h"
#include "update/expand_variables.h"
#include "update/install_log.h"
#include "update/pass_report.h"
#include "update/spread_wait.h"

namespace {

const char kSettingsSection[] = "Quorvel";

// Applies one switch as it is met; false when it is refused.
bool ApplySwitch(const CmdParameter& item)
{
    SwitchKind kind = SwitchKind::Install;
    if (CheckSwitch(item, &kind) != SwitchFault::None) {
        return 0;
    }
    switch (kind) {
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
    return 1;
}

bool ApplyOptionsFile()
{
    char path[kBesidePathRoom];
    BuildOptionsFilePath(path, kBesidePathRoom);
    return path[0] == '\0' ? 1 : ApplyOptionsFileAt(path);
}

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
    UINT count = GetPrivateProfileIntA(kSettingsSection, "Count", 0, gRunSettings.settingsPath);
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

// Applies every non-empty line of an options stream opened in binary mode; returns false at
// the first refused line.
bool ApplyOptionsStream(FILE* stream)
{
    OptionsReader reader(stream);
    char line[kOptionsLineRoom];
    while (reader.NextPiece(line, kOptionsLineRoom)) {
        if (line[0] != '\0' && !ApplySwitchLine(line)) {
            return 0;
        }
    }
    return 1;
}

}  // namespace

bool ApplySwitchLine(LPCSTR line)
{
    CommandLine commandLine(line);
    if (!commandLine.parsed || commandLine.first == nullptr) {
        return 1;
    }
    commandLine.current = commandLine.first;
    for (CmdParameter* item = commandLine.first; item != nullptr; item = commandLine.Next()) {
        if (!ApplySwitch(*item)) {
            return 0;
        }
    }
    return 1;
}

bool ApplyOptionsFileAt(LPCSTR path)
{
    // Binary mode: the reader applies the text rules itself, the same on every platform.
    FILE* stream = _fsopen(path, "rb", _SH_DENYWR);
    if (stream == nullptr) {
        return 1;
    }
    bool applied = ApplyOptionsStream(stream);
    fclose(stream);
    return applied;
}

int RunQuorvel(HINSTANCE instance, LPCSTR commandTail)
{
    ResetRunSettings(instance);
    if (!ApplyOptionsFile() || !ApplySwitchLine(commandTail)) {
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
        report.Begin(gRunSettings.settingsPath, gRunSettings.computerName,
                     gRunSettings.userName);
    }

    ATOM delayClass = RegisterDelayClass();
    UINT delay = GetPrivateProfileIntA(kSettingsSection, "Delay", 0, gRunSettings.settingsPath);
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
