#include "run/run_driver.h"

#include "cmdline/command_line.h"
#include "core/ascii_compare.h"
#include "core/program_paths.h"
#include "core/pump_messages.h"
#include "core/run_settings.h"
#include "run/entry_bound.h"
#include "run/options_reader.h"
#include "run/run_line.h"
#include "update/check_and_launch.h"
#include "update/delay_wait.h"
#include "update/install_log.h"

namespace {

constexpr int kLineRoom = 260;  // a line of the options file: at most 259 characters
const char kSettingsSection[] = "Quorvel";

// Copies a path value into one of the 261-byte path fields; 0 when it does not fit.
int CopyPathValue(LPSTR field, LPCSTR value)
{
    if (lstrlenA(value) >= kPathFieldSize) {
        return 0;
    }
    lstrcpyA(field, value);
    return 1;
}

int ApplySwitch(const CmdParameter& item)
{
    if (EqualIgnoringAsciiCase(item.name, "log")) {
        if (item.value != nullptr && item.value[0] != '\0') {
            if (!CopyPathValue(gRunSettings.logPath, item.value)) {
                return 0;
            }
        }
        gRunSettings.logSwitch = item.isOn;
        return 1;
    }
    if (EqualIgnoringAsciiCase(item.name, "ini")) {
        if (item.value == nullptr || item.value[0] == '\0') {
            return 0;
        }
        return CopyPathValue(gRunSettings.settingsPath, item.value);
    }
    if (EqualIgnoringAsciiCase(item.name, "install")) {
        // A program path that is not known whole registers nothing.
        char path[MAX_PATH];
        if (GetProgramPath(path)) {
            AddToRunLine(path);
        }
        return 1;
    }
    return 0;
}

int ApplyOptionsFile()
{
    char path[kBesidePathRoom];
    BuildPathBesideProgram("Quorvel.cfg", path, kBesidePathRoom);
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

void ExamineEntries()
{
    UINT count = GetPrivateProfileIntA(kSettingsSection, "Count", 0, gRunSettings.settingsPath);
    UINT last = LastEntryToExamine(count, gRunSettings.settingsPath);
    // n stops at the top of the range instead of wrapping round to 0.
    for (UINT n = 1; n != 0 && n <= last; ++n) {
        CheckAndLaunchApp(n);
        PumpMessages();
    }
}

// Applies every non-empty line of an options stream opened in binary mode; returns 0 at the
// first refused line.
int ApplyOptionsStream(FILE* stream)
{
    OptionsReader reader(stream);
    char line[kLineRoom];
    while (reader.NextPiece(line, kLineRoom)) {
        if (line[0] != '\0' && !ApplySwitchLine(line)) {
            return 0;
        }
    }
    return 1;
}

}  // namespace

int ApplySwitchLine(LPCSTR line)
{
    CommandLine commandLine(line);
    if (!commandLine.parsed || commandLine.first == nullptr) {
        return 1;
    }
    commandLine.current = commandLine.first;
    for (CmdParameter* item = commandLine.first; item != nullptr; item = commandLine.Next()) {
        if (item->name == nullptr || !item->isSwitch || !ApplySwitch(*item)) {
            return 0;
        }
    }
    return 1;
}

int ApplyOptionsFileAt(LPCSTR path)
{
    // Binary mode: the reader applies the text rules itself, the same on every platform.
    FILE* stream = _fsopen(path, "rb", _SH_DENYWR);
    if (stream == nullptr) {
        return 1;
    }
    int applied = ApplyOptionsStream(stream);
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
        BuildPathBesideProgram("Quorvel.ini", gRunSettings.settingsPath, kBesidePathRoom);
    }

    ATOM delayClass = RegisterDelayClass();
    UINT delay = GetPrivateProfileIntA(kSettingsSection, "Delay", 0, gRunSettings.settingsPath);
    // A wait cut short by a stop request skips the entries but still tidies up.
    bool waitCompleted = true;
    if (delayClass != 0 && delay != 0) {
        waitCompleted = WaitForDelay(delay) != FALSE;
    }
    if (waitCompleted) {
        ExamineEntries();
    }

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
