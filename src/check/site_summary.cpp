#include "check/site_summary.h"

#include <algorithm>
#include <set>

#include "check/text_format.h"

namespace {

struct ErrorAdvice {
    const char* error;
    const char* fix;
};

const ErrorAdvice kAdvice[] = {
    {"2", "setup program not found: SetupApp names a file the workstation cannot find"},
    {"3", "path not found: a folder in SetupApp does not exist on the workstation"},
    {"5", "access denied: the user may not run the setup program; check its permissions"},
    {"8", "not enough memory to start the setup program"},
    {"193", "not a program: SetupApp must start an executable file"},
    {"216", "a program for another processor: use a setup program built for this Windows"},
    {"740", "needs administrator rights: use the machine pass"},
    {"1223", "the user cancelled the elevation prompt: use the machine pass"},
};

const char kSourceFix[] = "the workstation cannot reach Source: check the share, its path and "
                          "its permissions from the workstation";
const char kLoopFix[] = "the setup starts again and again for one master: it does not bring "
                        "Destination up to date (check its Destination path and its exit)";

SiteState StateOf(const ReportedEntry& entry)
{
    if (entry.verdict == "due") {
        return entry.start == "failed" ? SiteState::Failing : SiteState::Due;
    }
    if (entry.verdict == "current") {
        return SiteState::Current;
    }
    if (entry.verdict == "not due") {
        return SiteState::NotDue;
    }
    return entry.verdict == "in progress" ? SiteState::InProgress : SiteState::Skipped;
}

std::string InstalledVersion(const ReportedEntry& entry)
{
    if (entry.step == "destination not found") {
        return "not installed";
    }
    return entry.destinationVersion.empty() ? "no version" : entry.destinationVersion;
}

// The newest pass of each computer that lists an entry, per application and computer.
void TakeReports(const SiteReports& reports, std::map<std::string, SiteApplication>* byName)
{
    for (const ReportedPass& pass : reports.passes) {
        for (const ReportedEntry& entry : pass.entries) {
            SiteApplication& application = (*byName)[entry.name];
            application.name = entry.name;
            SiteCell& cell = application.computers[pass.computer];
            if (cell.reported > pass.end) {
                continue;
            }
            cell.state = StateOf(entry);
            cell.installed = InstalledVersion(entry);
            cell.reason = entry.reason;
            cell.startError = cell.state == SiteState::Failing ? entry.startError : "";
            cell.reported = pass.end;
            application.master = std::max(application.master, MomentFromText(entry.sourceWritten));
        }
    }
}

void TakeLog(const LogSummary& summary, std::map<std::string, SiteApplication>* byName)
{
    for (LogSummary::Application& logged : summary.Applications()) {
        SiteApplication& application = (*byName)[logged.name];
        application.name = logged.name;
        application.perDay = std::move(logged.perDay);
        application.launches = logged.launches;
        application.master = std::max(application.master, logged.master);
        for (const LogSummary::Loop& loop : logged.loops) {
            SiteCell& cell = application.computers[loop.computer];
            // A start the computer reports refused is that failure, not a loop: nothing ran.
            if (cell.state == SiteState::Failing && cell.reported != 0) {
                continue;
            }
            cell.loopStarts = loop.starts;
            if (cell.reported == 0) {
                cell.installed = "not reported";
            }
            cell.state = SiteState::Failing;
            cell.reason = "re-install loop";
        }
    }
}

void CountCells(SiteApplication* application)
{
    for (const auto& item : application->computers) {
        ++application->counts[static_cast<size_t>(item.second.state)];
        if (item.second.state != SiteState::Skipped) {
            ++application->versions[item.second.installed];
        }
    }
}

std::vector<SiteFailure> Failures(const std::vector<SiteApplication>& applications)
{
    std::map<std::string, SiteFailure> byReason;
    for (const SiteApplication& application : applications) {
        for (const auto& item : application.computers) {
            const SiteCell& cell = item.second;
            std::string reason = cell.loopStarts != 0                ? "re-install loop"
                                 : cell.state == SiteState::Failing  ? "error " + cell.startError
                                 : cell.reason == "Source not found" ? cell.reason
                                                                     : "";
            if (reason.empty()) {
                continue;
            }
            SiteFailure& failure = byReason[reason];
            failure.reason = reason;
            failure.fix = cell.loopStarts != 0               ? kLoopFix
                          : cell.state == SiteState::Failing ? FixForStartError(cell.startError)
                                                             : kSourceFix;
            ++failure.computers;
            if (std::find(failure.applications.begin(), failure.applications.end(),
                          application.name) == failure.applications.end()) {
                failure.applications.push_back(application.name);
            }
        }
    }
    std::vector<SiteFailure> failures;
    failures.reserve(byReason.size());
    for (auto& item : byReason) {
        failures.push_back(std::move(item.second));
    }
    std::stable_sort(failures.begin(), failures.end(),
                     [](const SiteFailure& a, const SiteFailure& b) {
                         return a.computers > b.computers;
                     });
    return failures;
}

std::vector<SiteComputer> Computers(const SiteReports& reports, const LogSummary& summary,
                                    Moment now, unsigned staleDays)
{
    std::map<std::string, SiteComputer> byName;
    std::map<std::string, std::set<std::string>> users;
    for (const ReportedPass& pass : reports.passes) {
        SiteComputer& computer = byName[pass.computer];
        computer.lastSeen = std::max(computer.lastSeen, pass.end);
        users[pass.computer].insert(pass.user);
    }
    for (const auto& seen : summary.ComputersLastSeen()) {
        SiteComputer& computer = byName[seen.first];
        computer.lastSeen = std::max(computer.lastSeen, seen.second);
    }
    std::vector<SiteComputer> computers;
    for (auto& item : byName) {
        item.second.name = item.first;
        item.second.users.assign(users[item.first].begin(), users[item.first].end());
        item.second.stale = DaysBetween(item.second.lastSeen, now) > static_cast<long>(staleDays);
        computers.push_back(std::move(item.second));
    }
    return computers;
}

}  // namespace

const char* SiteStateWord(SiteState state)
{
    static const char* const kWords[kSiteStates] = {"current",     "due",     "failing",
                                                    "in progress", "not due", "skipped"};
    return kWords[static_cast<size_t>(state)];
}

std::string FixForStartError(const std::string& error)
{
    for (const ErrorAdvice& advice : kAdvice) {
        if (error == advice.error) {
            return advice.fix;
        }
    }
    // The POSIX build marks a C library errno with bit 29 (0x20000000 = 536870912).
    unsigned long number = std::strtoul(error.c_str(), nullptr, 10);
    if (number > 0x20000000ul && number < 0x20010000ul) {
        return "system error (errno " + std::to_string(number - 0x20000000ul) + ")";
    }
    return "";
}

void SetMastersFromReports(const SiteReports& reports, LogSummary* summary)
{
    // The newest pass of each computer decides, as it does for the states.
    std::map<std::pair<std::string, std::string>, std::pair<Moment, Moment>> masters;
    for (const ReportedPass& pass : reports.passes) {
        for (const ReportedEntry& entry : pass.entries) {
            Moment written = MomentFromText(entry.sourceWritten);
            auto& master = masters[{entry.name, pass.computer}];
            if (written != 0 && pass.end >= master.first) {
                master = {pass.end, written};
            }
        }
    }
    for (const auto& item : masters) {
        if (item.second.second != 0) {
            summary->SetMasterOn(item.first.first, item.first.second, item.second.second);
        }
    }
}

Site BuildSite(const SiteReports& reports, const LogSummary& summary, Moment now,
               unsigned staleDays)
{
    Site site;
    site.now = now;
    site.staleDays = staleDays;
    site.reports = reports.passes.size();
    site.refused = reports.refused;
    site.folderError = reports.folderError;
    site.launches = summary.understood;
    site.unparsed = summary.unparsed;
    site.busiest = summary.Busiest();
    site.loops = summary.CountLoops();
    std::map<std::string, SiteApplication> byName;
    TakeReports(reports, &byName);
    TakeLog(summary, &byName);
    for (auto& item : byName) {
        CountCells(&item.second);
        site.applications.push_back(std::move(item.second));
    }
    site.failures = Failures(site.applications);
    site.computers = Computers(reports, summary, now, staleDays);
    return site;
}

std::string SiteText(const Site& site)
{
    std::string text = "Site: " + CountedText(site.reports, "pass report", "pass reports") +
                       " in " + site.reportFolder + ", " +
                       CountedText(site.computers.size(), "computer", "computers") + "\n";
    if (!site.folderError.empty()) {
        text += "  report folder not read: " + site.folderError + "\n";
    }
    for (const std::string& refused : site.refused) {
        text += "  not read: " + refused + "\n";
    }
    text += site.logRead
                ? "  install log " + site.logPath + ": " +
                      CountedText(site.launches, "launch", "launches") + "\n"
                : "  install log " + (site.logPath.empty() ? std::string("none") : site.logPath) +
                      (site.logWhy.empty() ? "" : ": not read: " + site.logWhy) + "\n";
    text += "\nApplications (computers by state)\n";
    if (site.reports == 0) {
        text += "  (no pass report: states come from reports; only re-install loops found in "
                "the log are counted)\n";
    }
    for (const SiteApplication& application : site.applications) {
        text += "  " + application.name + ":";
        for (size_t state = 0; state < kSiteStates; ++state) {
            text += std::string(state ? ", " : " ") + std::to_string(application.counts[state]) +
                    " " + SiteStateWord(static_cast<SiteState>(state));
        }
        text += application.master ? "; master written " + FormatMoment(application.master)
                                   : std::string("; master not known");
        text += "\n    installed:";
        for (const auto& version : application.versions) {
            text += " " + version.first + " (" + std::to_string(version.second) + ")";
        }
        text += application.versions.empty() ? " nothing reported\n" : "\n";
    }
    text += "\nFailures by reason\n";
    for (const SiteFailure& failure : site.failures) {
        text += "  " + failure.reason + " on " +
                CountedText(failure.computers, "computer", "computers") + ": " + failure.fix + "\n";
    }
    text += site.failures.empty() ? "  none\n" : "";
    text += "\nComputers not seen for more than " + std::to_string(site.staleDays) + " days\n";
    size_t stale = 0;
    for (const SiteComputer& computer : site.computers) {
        if (computer.stale) {
            ++stale;
            text += "  " + computer.name + ": last seen " + FormatMoment(computer.lastSeen) + "\n";
        }
    }
    text += stale == 0 ? "  none\n" : "";
    if (site.busiest.hour != 0) {
        text += "\nBusiest hour: " + FormatMoment(site.busiest.hour * 10000).substr(0, 13) +
                ":00, " + CountedText(site.busiest.launches, "launch", "launches") +
                "; SpreadSeconds " + std::to_string(site.spreadSeconds) + "\n";
    }
    return text;
}

std::string SiteCsv(const Site& site)
{
    std::string csv = "Application,Computer,State,Installed,Reason,StartError,"
                      "StartsForOneMaster,Reported\r\n";
    for (const SiteApplication& application : site.applications) {
        for (const auto& item : application.computers) {
            const SiteCell& cell = item.second;
            csv += CsvCell(application.name) + "," + CsvCell(item.first) + "," +
                   SiteStateWord(cell.state) + "," + CsvCell(cell.installed) + "," +
                   CsvCell(cell.reason) + "," + CsvCell(cell.startError) + "," +
                   (cell.loopStarts ? std::to_string(cell.loopStarts) : "") + "," +
                   FormatMoment(cell.reported) + "\r\n";
        }
    }
    return csv;
}
