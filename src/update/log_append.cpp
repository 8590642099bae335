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

// A write that failed part way (a full disk, a lost share) would leave a torn line that every
// later line is glued to: while the lock still covers the end, the file is cut back to where
// the line began. The runtime has already dropped what it could not write.
void CutBackTo(HANDLE file, uint64_t lineStart)
{
    if (ReadLogLength(file) > lineStart) {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<int64_t>(lineStart);
        if (SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) {
            SetEndOfFile(file);
        }
    }
}

// One try: lock the line's region at the current end and, while the end has not moved since
// the lock was granted, write the line and flush it, then unlock. False when refused.
bool TryAppendAtEnd(HANDLE file, FILE* stream, LPCSTR line, DWORD length)
{
    uint64_t end = ReadLogLength(file);
    bool endLocked = false;
    for (int relocks = 0;; ++relocks) {
        if (!LockFile(file, Low(end), High(end), length, 0)) {
            return false;
        }
        uint64_t now = ReadLogLength(file);
        endLocked = now == end;
        if (endLocked || relocks == kMovedEndRetries) {
            break;
        }
        UnlockFile(file, Low(end), High(end), length, 0);
        end = now;
    }
    // The stream's buffer holds any line whole, so the flush is a single write.
    bool written = fwrite(line, 1, length, stream) == length;
    written = fflush(stream) == 0 && written;
    if (!written) {
        if (endLocked) {
            CutBackTo(file, end);
        }
        clearerr(stream);  // the next line starts afresh
    }
    UnlockFile(file, Low(end), High(end), length, 0);
    return true;
}

}  // namespace

bool AppendLineUnderLock(FILE* stream, LPCSTR line, DWORD length, LockWaitBudget& budget)
{
    if (stream == nullptr || line == nullptr || length == 0) {
        return false;
    }
    HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    if (TryAppendAtEnd(file, stream, line, length)) {
        return true;
    }
    for (int refused = 1; budget.leftMs > 0; ++refused) {
        PumpMessages();
        // The wait is measured on the tick count: a sleep may last longer than asked.
        const DWORD allowed = budget.leftMs < kLockWaitMs ? budget.leftMs : kLockWaitMs;
        const DWORD waitStart = GetTickCount();
        bool written = false;
        DWORD waited = 0;
        do {
            Sleep(kLockPollMs);
            written = TryAppendAtEnd(file, stream, line, length);
            waited = GetTickCount() - waitStart;
        } while (!written && waited < allowed);
        budget.leftMs -= waited < budget.leftMs ? waited : budget.leftMs;
        if (written) {
            return true;
        }
        if (refused == kLockTries) {
            break;
        }
        if (TryAppendAtEnd(file, stream, line, length)) {
            return true;
        }
    }
    return false;
}
