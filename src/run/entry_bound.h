// Where the pass over the entries can stop: entries past the highest-numbered "App<n>" section
// of the settings file have no keys and would all be skipped.
#pragma once

#include "platform/win32.h"

// n when the text from `name` to `end` is exactly what wsprintfA("App%u", n) gives, up to
// case and surrounding blanks: no sign, no leading zero, no inner blank, at most 4294967295.
// Else 0, which is never an entry.
UINT EntryNumberOf(const char* name, const char* end);

// The last entry worth examining: `count`, or the highest n for which the file has a section
// named as the pass names entry n ("App%u", case ignored, blanks around it ignored), when that
// is lower. `count` when the list of section names cannot be had whole.
UINT LastEntryToExamine(UINT count, LPCSTR settingsPath);
