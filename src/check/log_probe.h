// What the check finds out about an existing log by opening it as a run does, writing nothing:
// its size, and whether another process keeps its end locked.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32.h"

// A log larger than this is out of the ordinary: one line per started setup program makes a
// few megabytes a year even at a large site.
constexpr uint64_t kSaneLogBytes = 256ull * 1024 * 1024;

struct LogProbe {
    bool opened = false;  // opened for writing as a run opens it (a plain file of one name)
    uint64_t size = 0;    // its length in bytes
    bool locked = false;  // another process kept its end locked for the whole wait
    bool waited = false;  // the end was locked when first tried
    DWORD waitedMs = 0;   // how long the check waited for it
};

// Opens `path` as a run does and tries the lock a run's line takes at the end, waiting at most
// as long as a whole pass may; releases it at once. Nothing is written.
LogProbe ProbeLog(const std::string& path);
