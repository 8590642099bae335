// The pass report: one small CSV file per computer and account in the folder that ReportFolder
// in [Quorvel] names, written when the pass ends, after its last setup program has started.
// It says what the pass decided for each entry and whether each start succeeded, which the
// install log (written before each start) cannot. Without the key nothing is collected.
#pragma once

#include <string>
#include <vector>

#include "platform/win32.h"
#include "update/entry_outcome.h"

// The report's format, the first field of every row; a reader refuses other formats.
constexpr char kReportFormat[] = "1";
// The header row: pass fields first, repeated on every row so that any row stands alone.
extern const char kReportHeader[];
// The entry rows kept at most, in bytes; entries past it are counted, not listed.
constexpr size_t kReportEntryBytes = size_t{256} * 1024;

// The words the report uses for a verdict, a start and the deciding step.
const char* VerdictWord(EntryVerdict verdict);
const char* StartWord(StartResult start);
const char* StepWord(DecidingStep step);

// "YYYY-MM-DD HH:MM:SS".
std::string FormatSystemTime(const SYSTEMTIME& time);

struct PassFields {
    std::string start;  // the pass's start, local time
    std::string computer;
    std::string user;
    std::string settings;  // the settings file's path as the pass used it
};

class PassReport {
public:
    // Collects nothing until Begin finds ReportFolder and both names.
    PassReport() = default;
    // Reads ReportFolder from the settings file; takes the names and the start time.
    void Begin(const char* settingsPath, const char* computer, const char* user);
    // The same with every field given (for tests): active when `folder` is not empty.
    void Begin(const std::string& folder, const PassFields& pass);
    bool Active() const { return !folder_.empty(); }
    void AddEntry(const EntryOutcome& outcome);
    // The whole report: the header, the pass row (its verdict "complete", or "stopped" when a
    // stop request ended the wait before the entries), then one row per entry.
    std::string Compose(bool completed, const std::string& end) const;
    // Writes the report, with the error mode that shows no box; a failure is dropped.
    void Finish(bool completed) const;

private:
    std::string folder_;
    PassFields pass_;
    std::vector<std::string> entryRows_;  // each without the pass's columns
    size_t entryBytes_ = 0;
    unsigned long entriesLeftOut_ = 0;
};
