// Presence and last-write date and time of one path, as a find-first search reports them.
#pragma once

#include "platform/win32.h"

struct FileStamp {
    WORD date;            // MS-DOS date of the last write, local time
    WORD time;            // MS-DOS time of the last write, local time, 2-second resolution
    char name[MAX_PATH];  // the entry's own name as the search gave it: a pattern's match
};

// True when the search finds an entry for the path (a file or a folder; a pattern's first
// match). Moments outside the MS-DOS range are clamped to its first or last moment.
bool FindFileStamp(LPCSTR path, FileStamp* stamp);
