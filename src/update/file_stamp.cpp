#include "update/file_stamp.h"

#include <cstdint>
#include <cstring>

namespace {

// Read-only, hidden, system, folder and archive entries: everything but volume labels.
constexpr DWORD kSearchAttributes = 0x37;
// Hidden, system, volume-label and folder entries are found only when the search asks for
// them; of these, the search above leaves out only volume labels.
constexpr DWORD kFoundOnlyWhenAskedAttributes = 0x1E;

// 1980-01-01 00:00:00 and 2107-12-31 23:59:58, the first and last MS-DOS moments.
constexpr uint64_t kFirstDosMoment = 119600064000000000ull;
constexpr uint64_t kLastDosMoment = 159992927980000000ull;

void ClampToDosRange(FILETIME* time)
{
    uint64_t ticks = (static_cast<uint64_t>(time->dwHighDateTime) << 32) | time->dwLowDateTime;
    ticks = ticks < kFirstDosMoment ? kFirstDosMoment : ticks;
    ticks = ticks > kLastDosMoment ? kLastDosMoment : ticks;
    time->dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    time->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
}

}  // namespace

bool FindFileStamp(LPCSTR path, FileStamp* stamp)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    if ((found.dwFileAttributes & kFoundOnlyWhenAskedAttributes & ~kSearchAttributes) != 0) {
        return false;
    }
    FILETIME local;
    if (!FileTimeToLocalFileTime(&found.ftLastWriteTime, &local)) {
        local = found.ftLastWriteTime;
    }
    ClampToDosRange(&local);
    stamp->date = 0;
    stamp->time = 0;
    FileTimeToDosDateTime(&local, &stamp->date, &stamp->time);
    // Copied without a further platform call: the decision's calls stay as they were.
    std::memcpy(stamp->name, found.cFileName, sizeof stamp->name);
    stamp->name[MAX_PATH - 1] = '\0';
    return true;
}
