// The install log, summarised: launches per application, and the application and computer
// pairs that keep launching on different days (a setup that never brings Destination up to
// date starts again at every log-on).
#pragma once

#include <map>
#include <set>
#include <string>

struct LogLine {
    std::string day;     // "YYYY-MM-DD"
    std::string moment;  // "YYYY-MM-DD HH:MM:SS", sortable
    std::string name;
    std::string computer;  // "" in the short form
};

// Parses one line (without its CR LF); false when it is not a log line.
bool ParseLogLine(const std::string& line, LogLine* parsed);

struct ApplicationSummary {
    unsigned launches = 0;
    std::set<std::string> computers;
    std::string first, last;
    std::map<std::string, std::set<std::string>> daysByComputer;
};

struct LogSummary {
    std::map<std::string, ApplicationSummary> applications;
    unsigned unparsed = 0;
};

// Reads the log in bounded lines; false when it cannot be opened.
bool SummariseLog(const std::string& path, LogSummary* summary);
void AddLogLine(const std::string& line, LogSummary* summary);

// Three or more launches on different days for one application on one computer.
constexpr size_t kLoopDays = 3;
// How many application and computer pairs are flagged so.
unsigned CountReinstallLoops(const LogSummary& summary);

std::string LogSummaryText(const std::string& path, const LogSummary& summary);
