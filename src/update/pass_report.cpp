#include "update/pass_report.h"

#include <cstdio>
#include <utility>

#include "core/field_text.h"
#include "core/settings_names.h"
#include "platform/report_file.h"
#include "update/report_file_name.h"
#include "version.h"

const char kReportHeader[] =
    "ReportFormat,Program,PassStart,PassEnd,Computer,User,Settings,Row,Entry,Name,Verdict,"
    "Reason,Step,DestinationVersion,DestinationWritten,SourceVersion,SourceWritten,Start,"
    "StartError\r\n";

namespace {

constexpr UINT kErrorModeQuiet = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;

// Why the verdict is what it is, in words.
std::string ReasonText(const EntryOutcome& outcome)
{
    const AppEntry& entry = outcome.entry;
    if (outcome.verdict == EntryVerdict::Skipped) {
        return "empty key: " + EmptyEntryKeys(entry, " ");
    }
    if (outcome.verdict == EntryVerdict::InProgress) {
        return "an earlier setup is still running";
    }
    bool due = outcome.verdict == EntryVerdict::Due;
    switch (outcome.evidence.step) {
    case DecidingStep::DestinationNotFound:
        return "Destination not found";
    case DecidingStep::SourceNotFound:
        return "Source not found";
    case DecidingStep::BlockNotAllocated:
        return "no memory for the version blocks";
    case DecidingStep::VersionsDiffer:
        return due ? "Source has a higher version" : "Destination has a higher version";
    default:
        return due ? "Source written later" : "Source not written later";
    }
}

std::string SideVersion(const SideEvidence& side)
{
    return side.versionRead ? FormatVersion(side.version[0], side.version[1]) : "";
}

std::string SideWritten(const SideEvidence& side)
{
    return side.found ? FormatDosMoment(side.stamp.date, side.stamp.time) : "";
}

std::string PassColumns(const PassFields& pass, const std::string& end)
{
    return std::string(kReportFormat) + "," + CsvField(QUORVEL_VERSION_TEXT) + "," +
           CsvField(pass.start) + "," + CsvField(end) + "," + CsvField(pass.computer) + "," +
           CsvField(pass.user) + "," + CsvField(pass.settings) + ",";
}

std::string EntryColumns(const EntryOutcome& outcome)
{
    bool decided = outcome.verdict != EntryVerdict::Skipped;
    const UpdateEvidence& evidence = outcome.evidence;
    std::string row = "entry," + std::to_string(outcome.n) + "," + CsvField(outcome.entry.name) +
                      "," + VerdictWord(outcome.verdict) + "," + CsvField(ReasonText(outcome)) +
                      "," + (decided ? StepWord(evidence.step) : "") + ",";
    row += SideVersion(evidence.destination) + "," + SideWritten(evidence.destination) + "," +
           SideVersion(evidence.source) + "," + SideWritten(evidence.source) + ",";
    row += StartWord(outcome.start);
    row += "," + (outcome.start == StartResult::Failed ? std::to_string(outcome.startError) : "");
    return row + "\r\n";
}

// A moment's length, for measuring rows before the end is known.
std::string LocalMomentPlaceholder()
{
    return "YYYY-MM-DD HH:MM:SS";
}

std::string LocalNow()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return FormatSystemTime(now);
}

}  // namespace

const char* VerdictWord(EntryVerdict verdict)
{
    switch (verdict) {
    case EntryVerdict::Due:
        return "due";
    case EntryVerdict::Current:
        return "current";
    case EntryVerdict::NotDue:
        return "not due";
    case EntryVerdict::InProgress:
        return "in progress";
    case EntryVerdict::Skipped:
        break;
    }
    return "skipped";
}

const char* StartWord(StartResult start)
{
    return start == StartResult::Started ? "started" : start == StartResult::Failed ? "failed" : "";
}

const char* StepWord(DecidingStep step)
{
    static const char* const kWords[] = {"destination not found",  "source not found",
                                         "no version resource",    "version block not allocated",
                                         "version block not read", "no fixed file information",
                                         "versions differ",        "dates decide"};
    return kWords[static_cast<int>(step)];
}

std::string FormatSystemTime(const SYSTEMTIME& time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", time.wYear % 10000u,
                  time.wMonth % 100u, time.wDay % 100u, time.wHour % 100u, time.wMinute % 100u,
                  time.wSecond % 100u);
    return text;
}

void PassReport::Begin(const char* settingsPath, const char* computer, const char* user)
{
    char folder[MAX_PATH];
    DWORD length = GetPrivateProfileStringA(kQuorvelSection, kReportFolderKey, "", folder, MAX_PATH,
                                            settingsPath);
    // A value that fills the buffer may have been cut, and a cut path names another folder.
    if (length == 0 || length >= MAX_PATH - 1) {
        return;
    }
    Begin(folder, PassFields{LocalNow(), computer, user, settingsPath});
}

void PassReport::Begin(const std::string& folder, const PassFields& pass)
{
    folder_.clear();
    if (ReportFileName(pass.computer, pass.user).empty()) {
        return;  // a report needs a name of its own
    }
    folder_ = folder;
    pass_ = pass;
    entryRows_.clear();
    entryBytes_ = 0;
    entriesLeftOut_ = 0;
}

void PassReport::AddEntry(const EntryOutcome& outcome)
{
    if (!Active()) {
        return;
    }
    std::string row = EntryColumns(outcome);
    // Each row will carry the pass's columns with its end time too.
    size_t rowBytes = PassColumns(pass_, LocalMomentPlaceholder()).size() + row.size();
    if (entriesLeftOut_ != 0 || entryBytes_ + rowBytes > kReportEntryBytes) {
        ++entriesLeftOut_;
        return;
    }
    entryBytes_ += rowBytes;
    entryRows_.push_back(std::move(row));
}

std::string PassReport::Compose(bool completed, const std::string& end) const
{
    std::string passColumns = PassColumns(pass_, end);
    std::string text = kReportHeader;
    text += passColumns + "pass,,," + (completed ? "complete" : "stopped") + ",";
    if (entriesLeftOut_ != 0) {
        text += std::to_string(entriesLeftOut_) + " entries left out: the report's size bound";
    }
    text += ",,,,,,,\r\n";
    for (const std::string& row : entryRows_) {
        text += passColumns + row;
    }
    return text;
}

void PassReport::Finish(bool completed) const
{
    if (!Active()) {
        return;
    }
    std::string text = Compose(completed, LocalNow());
    std::string name = ReportFileName(pass_.computer, pass_.user);
    UINT previousMode = SetErrorMode(kErrorModeQuiet);
    ReplaceReportFile(folder_.c_str(), name.c_str(), text.data(), text.size());
    SetErrorMode(previousMode);
}
