#include "check/log_probe.h"

#include "update/log_append.h"
#include "update/log_length.h"
#include "update/log_line.h"
#include "update/log_open.h"

LogProbe ProbeLog(const std::string& path)
{
    LogProbe probe;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return probe;
    }
    if (!IsPlainSingleNameFile(file)) {
        CloseHandle(file);
        return probe;
    }
    probe.opened = true;
    probe.size = ReadLogLength(file);
    const DWORD low = static_cast<DWORD>(probe.size & 0xFFFFFFFFu);
    const DWORD high = static_cast<DWORD>(probe.size >> 32);
    const DWORD start = GetTickCount();
    for (;;) {
        if (LockFile(file, low, high, kLogLineSize, 0)) {
            UnlockFile(file, low, high, kLogLineSize, 0);
            break;
        }
        probe.waited = true;
        probe.waitedMs = GetTickCount() - start;
        if (probe.waitedMs >= kPassLockWaitMs) {
            probe.locked = true;
            break;
        }
        Sleep(kLockPollMs);
    }
    CloseHandle(file);
    return probe;
}
