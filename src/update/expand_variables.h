// ExpandVariables in section [Quorvel] of the settings file: when it is on, "%NAME%" in an
// entry's Source, Destination and SetupApp is replaced by the environment variable's value
// before the entry is examined, so that one shared settings file can name each user's own
// folders. A name that is not set stays as written. Off (absent or 0), values are taken
// literally, as always.
#pragma once

#include "platform/win32.h"
#include "update/app_entry.h"

// The key read as an unsigned number, like Delay: on when it is not 0.
bool ReadExpandVariables(LPCSTR settingsPath);

// Expands `written` into `out` (room for MAX_PATH characters with the terminator). False,
// with `out` empty, when the result needs more than MAX_PATH - 1 characters: a cut path would
// silently name another file.
bool ExpandEntryValue(LPCSTR written, LPSTR out);

// The three fields of `entry` expanded in place; a field that does not fit is emptied. True
// when all four fields are still non-empty: the entry still takes part.
bool ExpandEntryFields(AppEntry* entry);
