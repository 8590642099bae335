// The install log, summarised: launches per application, and the application and computer
// pairs that keep launching on different days (a setup that never brings Destination up to
// date starts again at every log-on).
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

struct LogLine {
    std::string day;     // "YYYY-MM-DD"
    std::string moment;  // "YYYY-MM-DD HH:MM:SS", sortable
    std::string name;
    std::string computer;  // "" in the short form
    std::string user;      // "" in the short form
};

// Parses one line (without its CR LF); false when it is not a log line.
bool ParseLogLine(const std::string& line, LogLine* parsed);

struct ApplicationSummary {
    unsigned launches = 0;
    std::set<std::string> computers;
    std::set<std::string> users;
    std::string first, last;
    std::map<std::string, std::set<std::string>> daysByComputer;
};

// How many of the lines not understood are named by number.
constexpr size_t kUnparsedListed = 5;

struct LogSummary {
    std::map<std::string, ApplicationSummary> applications;
    unsigned unparsed = 0;
    std::vector<unsigned> unparsedLines;  // the first kUnparsedListed of them
};

// Reads the log in bounded lines; false when it cannot be opened.
bool SummariseLog(const std::string& path, LogSummary* summary);
// Adds line number `number` of the log (counted from 1).
void AddLogLine(const std::string& line, unsigned number, LogSummary* summary);
// Notes a line that is no log line.
void AddUnparsedLine(unsigned number, LogSummary* summary);

// Three or more launches on different days for one application on one computer.
constexpr size_t kLoopDays = 3;
// How many computers are flagged so for one application, and in the whole summary.
unsigned CountLoops(const ApplicationSummary& application);
unsigned CountReinstallLoops(const LogSummary& summary);

std::string LogSummaryText(const std::string& path, const LogSummary& summary);
// One row per application, with a header row (RFC 4180).
std::string LogSummaryCsv(const LogSummary& summary);
