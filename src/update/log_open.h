// Opening the shared install log so that no other user can turn the open against the run.
#pragma once

#include <cstdio>

#include "platform/win32.h"

// Opens `path` for appending, creating it when missing, with no sharing restriction. Nothing
// but a plain file with one name is accepted: a symbolic link or other reparse point in the
// last place is refused rather than followed, a FIFO, socket or device is refused (and the
// open never waits for one), and so is a file with more than one name, which someone may have
// linked to a file they cannot write themselves. Null when refused or when the open fails.
FILE* OpenLogForAppending(LPCSTR path);

// True when an open handle is a plain file: on disk, not a folder, not a reparse point, and
// with exactly one name.
bool IsPlainSingleNameFile(HANDLE file);
