// Replacing one report file in a folder that every workstation writes: the new content goes
// to a temporary file created exclusively (never an existing file, never through a link),
// which is then renamed over the report, so a reader sees the old file or the new one whole.
#pragma once

#include <cstddef>

// Writes `size` bytes as `folder` + separator + `fileName` (the separator is added when the
// folder does not end in one). The temporary file is ".<fileName>.<random>.tmp" in the same
// folder and is removed again when anything fails. False on any failure, with the report as
// it was; nothing is shown. A path that would not fit in MAX_PATH characters is not tried.
bool ReplaceReportFile(const char* folder, const char* fileName, const char* bytes, size_t size);
