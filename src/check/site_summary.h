// The site at a glance: what the pass reports and the install log together say of every
// application and computer. Reports are what the workstations claim.
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "check/log_summary.h"
#include "check/site_reports.h"

// The state of one application on one computer, in the order the page stacks them.
enum class SiteState { Current, Due, Failing, InProgress, NotDue, Skipped };
constexpr size_t kSiteStates = 6;
const char* SiteStateWord(SiteState state);

struct SiteCell {
    SiteState state = SiteState::Current;
    std::string installed;  // Destination's version, "not installed" or "no version"
    std::string reason;
    std::string startError;
    unsigned loopStarts = 0;  // starts for one master, when a loop
    Moment reported = 0;      // the end of the pass that said so
};

struct SiteApplication {
    std::string name;
    std::map<std::string, SiteCell> computers;
    std::array<unsigned, kSiteStates> counts{};
    std::map<std::string, unsigned> versions;  // installed version: computers
    Moment master = 0;                         // the newest master moment known
    std::map<uint32_t, unsigned long long> perDay;
    unsigned long long launches = 0;
};

struct SiteFailure {
    std::string reason;  // "error 740", "Source not found", "re-install loop"
    std::string fix;
    unsigned computers = 0;
    std::vector<std::string> applications;
};

struct SiteComputer {
    std::string name;
    Moment lastSeen = 0;
    std::vector<std::string> users;
    bool stale = false;
};

struct Site {
    Moment now = 0;
    unsigned staleDays = 7;
    unsigned spreadSeconds = 0;
    std::string reportFolder;
    size_t reports = 0;
    std::vector<std::string> refused;
    std::string folderError;
    std::string logPath;
    bool logRead = false;
    std::string logWhy;
    unsigned long long launches = 0, unparsed = 0;
    std::vector<SiteApplication> applications;
    std::vector<SiteFailure> failures;  // most computers first
    std::vector<SiteComputer> computers;
    LogSummary::BusiestHour busiest;
    unsigned loops = 0;
};

// What to do about a failed start's error number, in words ("" when there is no advice).
std::string FixForStartError(const std::string& error);

// Gives the log summary each computer's own master moment from its reports, before the log is
// read, so that loops count starts for the master that computer saw.
void SetMastersFromReports(const SiteReports& reports, LogSummary* summary);

// Puts the reports and the log summary together. `now` decides which computers are stale.
Site BuildSite(const SiteReports& reports, const LogSummary& summary, Moment now,
               unsigned staleDays);

std::string SiteText(const Site& site);
// One row per application and computer (RFC 4180).
std::string SiteCsv(const Site& site);
