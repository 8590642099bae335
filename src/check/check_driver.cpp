#include "check/check_driver.h"

#include "check/check_platform.h"
#include "check/check_request.h"
#include "check/entry_findings.h"
#include "check/entry_report.h"
#include "check/log_summary.h"
#include "check/machine_audit.h"
#include "check/master_moments.h"
#include "check/option_report.h"
#include "check/registration_report.h"
#include "check/rights_forecast.h"
#include "check/settings_problems.h"
#include "check/settings_scan.h"
#include "check/site_report.h"
#include "check/text_format.h"
#include "check/visible_text.h"
#include "core/program_paths.h"
#include "core/settings_names.h"
#include "core/skip_running_setting.h"
#include "core/spread_setting.h"
#include "run/entry_bound.h"
#include "update/expand_variables.h"
#include "version.h"

namespace {

constexpr size_t kSettingsCap = size_t{16} * 1024 * 1024;  // more is only partly looked at

const char kUsage[] =
    "Usage: quorvel-check [/log[-][=PATH]] [/ini=PATH] [/install] [/machine] [/csv]\n"
    "       quorvel-check /log-summary[=PATH] [/csv] [/max-log-mb=N]\n"
    "       quorvel-check /site=FOLDER [/html=FILE] [/csv] [/stale-days=N] [/max-log-mb=N]\n"
    "       quorvel-check /versions FILE...\n"
    "       quorvel-check /? | -h | --help\n"
    "       quorvel-check /version | --version\n"
    "\n"
    "Tells what the log-on program beside it would do here, and why, without doing any of\n"
    "it: no log line, no setup program, no registration, no wait.\n"
    "\n"
    "  /log /ini /install  read as the log-on program reads them, after Quorvel.cfg\n"
    "  /machine            check for the machine pass (the system account) instead of a\n"
    "                      user's log-on pass; implied when run as root or SYSTEM\n"
    "  /csv                the per-entry table as CSV with a header row\n"
    "  /log-summary        launches per application from the install log, with\n"
    "                      re-install loops flagged (as CSV with /csv)\n"
    "  /site=FOLDER        the site at a glance from the pass reports in FOLDER and the\n"
    "                      install log; /html=FILE writes it as one self-contained page\n"
    "  /stale-days=N       computers not seen for more than N days (7) are listed\n"
    "  /max-log-mb=N       read an install log of up to N megabytes (1024)\n"
    "  /versions FILE...   each file's version as the decision reads it\n"
    "\n"
    "Exit status: the sum of 1 (a line of switches is refused), 2 (problems found) and\n"
    "4 (at least one entry is due); 0 when nothing is due and nothing is wrong. Notes\n"
    "tell documented ways of working and set no bit.\n";

std::string BesideProgram(const char* name)
{
    char path[kBesidePathRoom];
    BuildPathBesideProgram(name, path, kBesidePathRoom);
    return path;
}

// The pass's waits before its first entry: Delay, then a random part of SpreadSeconds.
struct PassWaits {
    UINT delayMinutes = 0;
    SpreadSetting spread{};
    // The longest the pass may wait in all, in seconds; the spread's draw stays below it.
    unsigned long long LongestSeconds() const { return 60ull * delayMinutes + spread.seconds; }
};

std::string WaitsText(const PassWaits& waits)
{
    std::string text = "  Delay          " + std::to_string(waits.delayMinutes) +
                       (waits.delayMinutes ? " minutes: the pass would wait that long first\n"
                                           : ": no wait\n");
    const SpreadSetting& spread = waits.spread;
    text += "  SpreadSeconds  " + std::to_string(spread.written);
    if (spread.seconds == 0) {
        return text + ": no spread\n";
    }
    if (spread.written != spread.seconds) {
        text += ", taken as " + std::to_string(spread.seconds);
    }
    text += ": then a random wait of 0 to " + std::to_string(spread.seconds - 1) +
            ".999 seconds, drawn anew at every run\n";
    return text + "  longest wait   " + std::to_string(waits.LongestSeconds()) +
           " seconds in all (Delay plus spread) before the first entry\n";
}

std::string SkipRunningText(UINT skip)
{
    return "  SkipRunningSetups " + std::to_string(skip) +
           (skip ? ": a due entry whose setup an earlier pass started and which still runs is "
                   "left to finish\n"
                 : ": every due entry starts its setup, even while an earlier one still runs\n");
}

std::string ConfigurationText(const OptionReport& options, UINT count, const PassWaits& waits,
                              UINT last, bool expand, bool machinePass)
{
    std::string text = "Configuration\n";
    text += "  options file   " + options.optionsPath +
            (options.optionsFound ? " (read)\n" : " (none)\n");
    text += "  settings file  " + options.settingsPath + " (" + options.settingsOrigin + ")\n";
    text += "  install log    " + options.logPath + " (" + options.logOrigin + "), logging " +
            (options.logOn ? "on" : "off") + " (" + options.logSwitchOrigin + ")\n";
    text += WaitsText(waits);
    text += SkipRunningText(ReadSkipRunningSetups(options.settingsPath.c_str()));
    char reportFolder[MAX_PATH];
    if (GetPrivateProfileStringA(kQuorvelSection, kReportFolderKey, "", reportFolder, MAX_PATH,
                                 options.settingsPath.c_str()) != 0) {
        text += std::string("  ReportFolder   ") + reportFolder +
                ": each pass replaces its report COMPUTER.USER.csv there\n";
    }
    text += std::string("  ExpandVariables ") +
            (expand ? "on: %NAME% in Source, Destination and SetupApp is replaced by the "
                      "environment variable's value (shown here from this account's environment)\n"
                    : "off: values are taken as written\n");
    text += "  Count          " + std::to_string(count) + ": the pass examines " +
            (last ? "entries 1 to " + std::to_string(last) : std::string("no entry")) + "\n";
    text += "  rights         " + RightsText(machinePass) + "\n";
    std::string program = BesideProgram(LogonProgramFileName());
    for (const std::string& where : options.registrations) {
        text += "  install        ";
        text += program.empty() ? std::string("would register nothing: the program's path is "
                                              "not known whole")
                                : "would register " + program + " in the run line";
        text += " (" + where + ")\n";
    }
    if (options.refused) {
        text += "  refused        " + options.refusedWhere + ": " + options.refusedItem + ": " +
                options.refusedWhy +
                "\n                 the log-on program would stop there "
                "with exit status 1 and examine no entry\n";
    }
    return text;
}

std::string FindingsText(const char* title, const std::vector<Finding>& findings)
{
    std::string text = std::string(title) + "\n";
    for (const Finding& finding : findings) {
        text += "  " + finding.where + ": " + finding.text + "\n";
    }
    return findings.empty() ? text + "  none found\n" : text;
}

int ReportVersions(const std::vector<std::string>& files, std::string* out)
{
    int status = 0;
    for (const std::string& file : files) {
        WIN32_FIND_DATAA found;
        if (!FindsEntry(file, &found)) {
            *out += file + ": not found\n";
            status = kProblemBit;
            continue;
        }
        DWORD version[4];
        bool hasVersion = ReadFileVersion(file, version);
        *out += file + ": " + DescribeVersion(hasVersion, version) + "\n";
    }
    return status;
}

int ReportLog(const std::string& path, const CheckRequest& request, const std::string& settingsPath,
              std::string* out)
{
    LogSummary summary;
    SetMastersFromSettings(settingsPath, &summary);
    LogReading reading = SummariseLog(path, request.maxLogMiB << 20, &summary);
    if (!reading.read) {
        *out += "Install log " + path + ": not read: " + reading.why +
                (reading.capReached ? "; /max-log-mb=N reads up to N megabytes\n" : "\n");
        return kProblemBit;
    }
    *out += request.csv ? LogSummaryCsv(summary) : LogSummaryText(path, summary);
    return summary.CountLoops() > 0 ? kProblemBit : 0;
}

struct EntryCounts {
    unsigned due = 0, current = 0, notDue = 0, skipped = 0, inProgress = 0;
};

int ReportConfiguration(const CheckRequest& request, const OptionReport& options, std::string* out)
{
    const char* settings = options.settingsPath.c_str();
    UINT count = GetPrivateProfileIntA(kQuorvelSection, kCountKey, 0, settings);
    PassWaits waits;
    waits.delayMinutes = GetPrivateProfileIntA(kQuorvelSection, kDelayKey, 0, settings);
    waits.spread = ReadSpreadSetting(settings);
    bool expand = ReadExpandVariables(settings);
    bool machinePass = request.machine || CheckRunsAsSystemAccount();
    std::string bytes;
    bool cut = false;
    bool readable = ReadFileBounded(options.settingsPath, kSettingsCap, &bytes, &cut);
    IniScan scan = ScanSettingsText(bytes);
    UINT last = LastEntryToExamine(count, settings);  // the log-on pass's own bound

    Findings findings = FindFileProblems(options, readable, cut);
    findings.Append(FindSettingsProblems(options.settingsPath, scan, count, waits.delayMinutes,
                                         waits.spread, expand));
    std::string entries;
    EntryCounts counts;
    std::vector<AuditedPath> trusted = FilesOfTheRun(options);  // for the machine pass's audit
    // Like the log-on pass, nothing is examined after a refused line.
    std::vector<UINT> numbers;
    if (!options.refused) {
        numbers = EntriesWithSection(last, scan);
    }
    for (UINT n : numbers) {
        EntryResult result = ExamineEntry(n, options.settingsPath, expand);
        bool sourceMissing = result.evidence.step == DecidingStep::SourceNotFound;
        counts.due += result.takesPart && result.verdict == UpdateVerdict::LaunchSetup &&
                      !result.inProgress;
        counts.inProgress += result.inProgress;
        counts.current += result.takesPart && result.verdict == UpdateVerdict::UpToDate &&
                          !sourceMissing;
        counts.notDue += result.takesPart && sourceMissing;
        counts.skipped += !result.takesPart;
        entries += request.csv ? EntryCsvRow(result, waits.LongestSeconds()) : EntryText(result);
        findings.Append(FindEntryFindings(result, scan, options.settingsPath, machinePass));
        std::vector<AuditedPath> entryFiles = FilesOfTheEntry(result);
        trusted.insert(trusted.end(), entryFiles.begin(), entryFiles.end());
    }
    if (machinePass) {
        findings.Append(AuditMachinePass(trusted));
    }
    std::string program = BesideProgram(LogonProgramFileName());
    RegistrationReport registration = ReportRegistration(options, program);
    findings.Append(registration.findings);

    int status = (options.refused ? kRefusedBit : 0) |
                 (findings.problems.empty() ? 0 : kProblemBit) | (counts.due ? kDueBit : 0);
    if (request.csv) {
        *out += EntryCsvHeader() + entries;
        return status;
    }
    *out += std::string("quorvel-check ") + QUORVEL_VERSION_TEXT +
            ": what the log-on program would do here, and why (nothing is changed)\n\n";
    *out += ConfigurationText(options, count, waits, last, expand, machinePass) + "\nEntries\n";
    *out += options.refused   ? "  none examined: a line of switches is refused\n"
            : entries.empty() ? "  none\n"
                              : entries;
    *out += "\n" + FindingsText("Problems", findings.problems) + "\n" +
            FindingsText("Notes", findings.notes) + "\n" + registration.text;
    *out += "\nSummary: " + std::to_string(counts.due) + " due, " + std::to_string(counts.current) +
            " current, " + std::to_string(counts.notDue) + " not due, " +
            std::to_string(counts.skipped) + " skipped" +
            (counts.inProgress ? ", " + std::to_string(counts.inProgress) + " in progress"
                               : std::string()) +
            "; " + CountedText(findings.problems.size(), "problem", "problems") + ", " +
            CountedText(findings.notes.size(), "note", "notes") + "; exit status " +
            std::to_string(status) + "\n";
    return status;
}

int Report(const std::vector<std::string>& arguments, const std::string& rawTail,
           std::string (*joinTail)(const std::vector<std::string>&), std::string* out)
{
    CheckRequest request = SortArguments(arguments);
    if (request.usage) {
        *out += kUsage;
        return 0;
    }
    if (!request.refused.empty()) {
        *out += "quorvel-check: " + request.refused + "\n\n" + kUsage;
        return kRefusedBit;
    }
    if (request.version) {
        *out += std::string("quorvel-check ") + QUORVEL_VERSION_TEXT + "\n";
        return 0;
    }
    if (request.versions) {
        if (request.files.empty()) {
            *out += std::string("quorvel-check: /versions needs at least one file\n\n") + kUsage;
            return kRefusedBit;
        }
        return ReportVersions(request.files, out);
    }
    // The tail as typed when it holds none of the check's own switches.
    bool untouched = request.logonArguments.size() == arguments.size();
    OptionReport options = ReplayOptionPass(untouched ? rawTail : joinTail(request.logonArguments));
    if (request.site) {
        return (options.refused ? kRefusedBit : 0) | ReportSite(request, options, out);
    }
    if (request.logSummary) {
        int status = options.refused ? kRefusedBit : 0;
        return status |
               ReportLog(request.logSummaryPath.empty() ? options.logPath : request.logSummaryPath,
                         request, options.settingsPath, out);
    }
    return ReportConfiguration(request, options, out);
}

}  // namespace

int RunCheck(const std::vector<std::string>& arguments, const std::string& rawTail,
             std::string (*joinTail)(const std::vector<std::string>&), std::string* out)
{
    int status = Report(arguments, rawTail, joinTail, out);
    // Control bytes from the files (an escape sequence in a Name, say), bidi controls and
    // invalid bytes never reach the terminal as they are.
    *out = VisibleText(*out, CheckOutputIsUtf8());
    return status;
}
