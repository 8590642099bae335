// The pass reports in a report folder, read as what each workstation claims: regular files
// only, each read up to a bound, its header and format checked, its name matched against the
// computer and user it names.
#pragma once

#include <string>
#include <vector>

#include "check/moment.h"

struct ReportedEntry {
    unsigned n = 0;
    std::string name, verdict, reason, step;
    std::string destinationVersion, destinationWritten, sourceVersion, sourceWritten;
    std::string start;  // "started", "failed" or ""
    std::string startError;
};

struct ReportedPass {
    std::string file;
    std::string program;
    Moment start = 0, end = 0;
    std::string computer, user, settings;
    std::string outcome;  // "complete" or "stopped"
    std::string note;     // entries left out
    std::vector<ReportedEntry> entries;
};

struct SiteReports {
    std::vector<ReportedPass> passes;
    std::vector<std::string> refused;  // "file: why", for files that are not reports we read
    std::string folderError;           // the folder could not be listed
};

// The largest report read; the program writes far less.
constexpr size_t kReportReadCap = 1u << 20;

SiteReports ReadSiteReports(const std::string& folder);
// One report's text; false with the reason in `why` when it is not a report of ours.
bool ParseReport(const std::string& file, const std::string& text, ReportedPass* pass,
                 std::string* why);
