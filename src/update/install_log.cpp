// The shared install log: opened once per run, one line per started setup program, each
// appended under a byte-range lock, closed at the end of the pass.
#include "update/install_log.h"

#include <cstdlib>
#include <ctime>

#include "core/program_paths.h"
#include "core/run_settings.h"
#include "string_table.h"
#include "update/log_append.h"
#include "update/log_line.h"
#include "update/log_open.h"
#include "update/log_timestamp.h"
#include "update/resource_string.h"

namespace {

// No system error box or prompt when the log's location fails (an unreachable share).
constexpr UINT kQuietErrorMode = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;

// Adds the quiet flags to the process's mode and returns the mode to set back. Setting them
// alone would drop the crash-box flag the start-up sets for the whole run.
UINT QuietenErrors()
{
    UINT previous = SetErrorMode(kQuietErrorMode);
    SetErrorMode(previous | kQuietErrorMode);
    return previous;
}

// The log stream's buffer: larger than any line, so a flushed line leaves in one write and
// is never split between two. One log stream is open at a time.
char gLogStreamBuffer[2 * kLogLineSize];

// What this pass may still spend waiting for the log's lock, for all its lines together.
LockWaitBudget gLockWaitBudget;

}  // namespace

void OpenInstallLog()
{
    if (gRunSettings.logPath[0] == '\0') {
        BuildDefaultLogPath(gRunSettings.logPath, kBesidePathRoom);
    }
    gRunSettings.logStream = nullptr;
    gLockWaitBudget = LockWaitBudget{};
    if (gRunSettings.logPath[0] == '\0') {
        return;  // no path that fits: no log for this run
    }
    UINT previous = QuietenErrors();
    FILE* stream = OpenLogForAppending(gRunSettings.logPath);
    SetErrorMode(previous);
    if (stream != nullptr) {
        setvbuf(stream, gLogStreamBuffer, _IOFBF, sizeof gLogStreamBuffer);
    }
    gRunSettings.logStream = stream;
}

void WriteInstallLogLine(LPCSTR name)
{
    if (gRunSettings.logStream == nullptr) {
        return;
    }
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char timestamp[kTimestampSize];
    {
        ResourceString format(IDS_TIMESTAMP_FORMAT);
        FormatLogTimestamp(format.text, now, std::getenv("TZ"),
                           DaylightSavingInEffect(std::time(nullptr)), timestamp, kTimestampSize);
    }
    char line[kLogLineSize];
    int length = ComposeInstallLogLine(timestamp, name, gRunSettings, line);
    if (length <= 0) {
        return;  // a missing format string: nothing would reach the file
    }
    UINT previous = QuietenErrors();
    AppendLineUnderLock(gRunSettings.logStream, line, static_cast<DWORD>(length), gLockWaitBudget);
    SetErrorMode(previous);
}

void CloseInstallLog()
{
    if (gRunSettings.logStream != nullptr) {
        fclose(gRunSettings.logStream);
        gRunSettings.logStream = nullptr;
    }
}
