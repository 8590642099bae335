// Verdicts with their evidence for every entry the log-on pass examines, decided by the very
// function the log-on program calls.
#pragma once

#include <string>
#include <vector>

#include "check/check_platform.h"
#include "platform/running_setup.h"
#include "update/app_entry.h"
#include "update/decide_update.h"

// What the report adds to the decision's evidence for one side, read after the decision.
struct SideDetail {
    std::string resolved;     // the file the search took ("" when not found or not looked at)
    unsigned matches = 0;     // how many entries the search would return
    bool hasVersion = false;  // the version resource as the decision reads it
    DWORD version[4] = {0, 0, 0, 0};
    bool pattern = false;          // '*' or '?' in the path: versions are not read through it
    bool matchHasVersion = false;  // a pattern's match read as a file of its own
    DWORD matchVersion[4] = {0, 0, 0, 0};
    std::string whyNotFound;     // searched and not found: the platform's reason
    bool folderMissing = false;  // not found, and the folder it would be in is missing too
};

struct EntryResult {
    UINT n = 0;
    AppEntry entry;    // the four keys as the pass uses them (expanded when ExpandVariables is on)
    AppEntry written;  // the four keys as the settings file gives them
    bool expand = false;     // ExpandVariables is on
    bool takesPart = false;  // all four keys non-empty
    UpdateVerdict verdict = UpdateVerdict::UpToDate;
    UpdateEvidence evidence{};
    SideDetail destination;
    SideDetail source;
    SetupForecast setup;  // what starting SetupApp would do, whatever the verdict
    // Due, with SkipRunningSetups set, while the setup an earlier pass started still runs: the
    // pass would leave the entry alone.
    bool inProgress = false;
};

// Examines entry n as the log-on pass does, without acting on the verdict; `expand` is the
// settings file's ExpandVariables.
EntryResult ExamineEntry(UINT n, const std::string& settingsPath, bool expand);

// True when a search for `path` finds an entry; `found` then describes the first.
bool FindsEntry(const std::string& path, WIN32_FIND_DATAA* found);

// Reads a file's version quadruple as the decision reads it; false for "no version resource".
bool ReadFileVersion(const std::string& path, DWORD version[4]);

// "file 1.2.3.4, product 1.2.3.4" or "no version resource".
std::string DescribeVersion(bool hasVersion, const DWORD version[4]);

// The step that settled the verdict, in words.
std::string DescribeStep(const EntryResult& result);

// "due", "current", "skipped", "not due: Source not found" or "in progress: started by an
// earlier pass, still running".
std::string VerdictText(const EntryResult& result);

// The human-readable block for one entry, and the CSV header and row; `longestWaitSeconds` is
// how long the pass may wait (Delay plus spread) before it examines any entry.
std::string EntryText(const EntryResult& result);
std::string EntryCsvHeader();
std::string EntryCsvRow(const EntryResult& result, unsigned long long longestWaitSeconds);
