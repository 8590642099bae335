// What the pass did with one application entry: the verdict, what settled it and, for an entry
// that was due, whether its setup program started. The pass report is made of these.
#pragma once

#include "platform/win32.h"
#include "update/app_entry.h"
#include "update/decide_update.h"

enum class EntryVerdict {
    Due,         // the setup program was to be started
    Current,     // the installed file is up to date
    NotDue,      // the decision could not make it due: Source is not found
    Skipped,     // a key of the entry is empty, so it takes no part
    InProgress,  // an earlier pass's setup program for it is still running
};

enum class StartResult {
    NotAttempted,  // the entry was not due
    Started,
    Failed,  // the platform refused the start; `startError` holds its error number
};

struct EntryOutcome {
    UINT n = 0;
    AppEntry entry{};
    EntryVerdict verdict = EntryVerdict::Skipped;
    UpdateEvidence evidence{};  // filled when the decision was made (not for a skipped entry)
    StartResult start = StartResult::NotAttempted;
    DWORD startError = 0;
};
