#include "update/log_append.h"

#include <cstdint>

#include "run/pump_messages.h"

namespace {

uint64_t CurrentLength(HANDLE file)
{
    DWORD high = 0;
    DWORD low = GetFileSize(file, &high);
    return (static_cast<uint64_t>(high) << 32) | low;
}

DWORD Low(uint64_t value)
{
    return static_cast<DWORD>(value & 0xFFFFFFFFu);
}

DWORD High(uint64_t value)
{
    return static_cast<DWORD>(value >> 32);
}

}  // namespace

bool AppendLineUnderLock(FILE* stream, LPCSTR line, DWORD length)
{
    if (stream == nullptr || line == nullptr || length == 0) {
        return false;
    }
    HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    int refused = 0;
    int relocks = 0;
    uint64_t end = CurrentLength(file);
    for (;;) {
        if (LockFile(file, Low(end), High(end), length, 0)) {
            uint64_t now = CurrentLength(file);
            if (now != end && relocks < kMovedEndRetries) {
                UnlockFile(file, Low(end), High(end), length, 0);
                end = now;
                ++relocks;
                continue;
            }
            // The stream's buffer holds any line whole, so the flush is a single write.
            fwrite(line, 1, length, stream);
            fflush(stream);
            UnlockFile(file, Low(end), High(end), length, 0);
            return true;
        }
        ++refused;
        PumpMessages();
        Sleep(kLockWaitMs);
        if (refused == kLockTries) {
            return false;
        }
        end = CurrentLength(file);
    }
}
