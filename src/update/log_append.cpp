#include "update/log_append.h"

#include <cstdint>

#include "core/pump_messages.h"
#include "update/log_length.h"

namespace {

DWORD Low(uint64_t value)
{
    return static_cast<DWORD>(value & 0xFFFFFFFFu);
}

DWORD High(uint64_t value)
{
    return static_cast<DWORD>(value >> 32);
}

// One try: lock the line's region at the current end and, while the end has not moved since
// the lock was granted, write the line and flush it, then unlock. False when refused.
bool TryAppendAtEnd(HANDLE file, FILE* stream, LPCSTR line, DWORD length)
{
    uint64_t end = ReadLogLength(file);
    for (int relocks = 0;; ++relocks) {
        if (!LockFile(file, Low(end), High(end), length, 0)) {
            return false;
        }
        uint64_t now = ReadLogLength(file);
        if (now == end || relocks == kMovedEndRetries) {
            break;
        }
        UnlockFile(file, Low(end), High(end), length, 0);
        end = now;
    }
    // The stream's buffer holds any line whole, so the flush is a single write.
    fwrite(line, 1, length, stream);
    fflush(stream);
    UnlockFile(file, Low(end), High(end), length, 0);
    return true;
}

}  // namespace

bool AppendLineUnderLock(FILE* stream, LPCSTR line, DWORD length)
{
    if (stream == nullptr || line == nullptr || length == 0) {
        return false;
    }
    HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    for (int refused = 0; refused < kLockTries; ++refused) {
        if (TryAppendAtEnd(file, stream, line, length)) {
            return true;
        }
        PumpMessages();
        // The wait is measured on the tick count: a sleep may last longer than asked.
        DWORD waitStart = GetTickCount();
        do {
            Sleep(kLockPollMs);
            if (TryAppendAtEnd(file, stream, line, length)) {
                return true;
            }
        } while (GetTickCount() - waitStart < kLockWaitMs);
    }
    return false;
}
