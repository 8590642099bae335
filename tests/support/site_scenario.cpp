#include "support/site_scenario.h"

#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "update/pass_report.h"
#include "update/report_file_name.h"

namespace testing_support {
namespace {

// A local moment `daysBack` days before today at the given time of day.
struct tm MomentBack(int daysBack, int hour, int minute)
{
    time_t now = time(nullptr) - static_cast<time_t>(daysBack) * 86400;
    struct tm local {};
    localtime_r(&now, &local);
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = 0;
    return local;
}

std::string ReportMoment(const struct tm& at)
{
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &at);
    return text;
}

FileStamp DosStamp(const struct tm& at)
{
    FileStamp stamp{};
    stamp.date = static_cast<WORD>(((at.tm_year - 80) << 9) | ((at.tm_mon + 1) << 5) | at.tm_mday);
    stamp.time = static_cast<WORD>((at.tm_hour << 11) | (at.tm_min << 5) | (at.tm_sec / 2));
    return stamp;
}

const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string LogLine(const struct tm& at, const std::string& name, const std::string& computer)
{
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d ", kDays[at.tm_wday],
                  at.tm_mday, kMonths[at.tm_mon], at.tm_year + 1900, at.tm_hour, at.tm_min,
                  at.tm_sec);
    return std::string(text) + " - " + name + " (\\\\" + computer + ", user " + "user" +
           computer.substr(2) + ")\r\n";
}

struct Entry {
    const char* name;
    DWORD installed;  // the file version's most significant word; 0: not installed
    DWORD master;
    int masterDaysBack;
    EntryVerdict verdict;
    StartResult start;
    DWORD error;
};

EntryOutcome Outcome(UINT n, const Entry& entry)
{
    EntryOutcome outcome;
    outcome.n = n;
    std::strcpy(outcome.entry.name, entry.name);
    std::strcpy(outcome.entry.source, "\\\\server\\apps\\app.exe");
    std::strcpy(outcome.entry.destination, "C:\\Apps\\app.exe");
    std::strcpy(outcome.entry.setupApp, "\\\\server\\apps\\setup.exe");
    outcome.verdict = entry.verdict;
    outcome.start = entry.start;
    outcome.startError = entry.error;
    UpdateEvidence& evidence = outcome.evidence;
    evidence.destination = {true, true, DosStamp(MomentBack(20, 9, 0)),
                            100,  true, {entry.installed, 0, entry.installed, 0}};
    evidence.source = {true,
                       entry.verdict != EntryVerdict::NotDue,
                       DosStamp(MomentBack(entry.masterDaysBack, 7, 0)),
                       100,
                       true,
                       {entry.master, 0, entry.master, 0}};
    evidence.step = entry.verdict == EntryVerdict::NotDue ? DecidingStep::SourceNotFound
                    : entry.installed == entry.master     ? DecidingStep::DatesDecide
                                                          : DecidingStep::VersionsDiffer;
    if (entry.verdict == EntryVerdict::NotDue) {
        evidence.source.versionRead = false;
    }
    if (entry.installed == 0) {  // not installed: the decision stops at Destination
        evidence.destination.found = false;
        evidence.destination.versionRead = false;
        evidence.source = SideEvidence{};
        evidence.step = DecidingStep::DestinationNotFound;
    }
    return outcome;
}

constexpr DWORD kV09 = 0x00000009;  // "0.9"
constexpr DWORD kV1 = 0x00010000, kV2 = 0x00020000, kV3 = 0x00030000;

}  // namespace

void WriteSiteScenario(const std::string& reportFolder, const std::string& logPath)
{
    std::string log;
    for (int pc = 1; pc <= 10; ++pc) {
        char name[8];
        std::snprintf(name, sizeof name, "PC%02d", pc);
        std::string computer = name;
        int lastDaysBack = pc == 10 ? 9 : 0;
        // Log-ons: daily for most; PC07 six days ago and today; PC10 until nine days ago.
        for (int back = pc == 10 ? 12 : 6; back >= lastDaysBack; --back) {
            if (pc == 7 && back != 6 && back != 0) {
                continue;
            }
            struct tm at = MomentBack(back, 8, pc * 3 + (back % 3));
            bool newNotes = back == 6 || back == 4 || back == 2;
            if ((pc <= 6 && newNotes) || (pc == 7) || pc == 8 || pc == 9) {
                log += LogLine(at, "Team Notes", computer);
            }
            if (pc == 5) {
                log += LogLine(at, "Viewer", computer);  // setup not found, every day
            }
            if (pc == 2 && back == 0) {
                log += LogLine(at, "Timesheets", computer);
            }
        }
        Entry notes = {
            "Team Notes", kV3, kV3, 2, EntryVerdict::Current, StartResult::NotAttempted, 0};
        if (pc == 7) {
            notes = {"Team Notes", kV1, kV3, 2, EntryVerdict::Due, StartResult::Started, 0};
        } else if (pc == 8) {
            notes = {"Team Notes", kV09, kV3, 2, EntryVerdict::Due, StartResult::Failed, 740};
        } else if (pc == 9) {
            notes = {"Team Notes", kV09, kV3, 2, EntryVerdict::Due, StartResult::Started, 0};
        } else if (pc == 10) {
            notes = {
                "Team Notes", kV09, kV09, 30, EntryVerdict::Current, StartResult::NotAttempted, 0};
        }
        Entry phones = {"Phone Book",
                        kV2,
                        kV2,
                        30,
                        pc == 3 ? EntryVerdict::NotDue : EntryVerdict::Current,
                        StartResult::NotAttempted,
                        0};
        Entry sheets = {"Timesheets",
                        kV1,
                        pc == 2 ? kV2 : kV1,
                        30,
                        pc == 2 ? EntryVerdict::InProgress : EntryVerdict::Current,
                        StartResult::NotAttempted,
                        0};
        Entry viewer =
            pc == 5
                ? Entry{"Viewer", 0, kV1, 30, EntryVerdict::Due, StartResult::Failed, 2}
                : Entry{"Viewer", kV1, kV1, 30, EntryVerdict::Current, StartResult::NotAttempted,
                        0};
        struct tm start = MomentBack(lastDaysBack, 8, pc * 3 + (lastDaysBack % 3));
        std::string user = "user" + computer.substr(2);
        PassReport report;
        report.Begin(reportFolder, PassFields{ReportMoment(start), computer, user,
                                              "\\\\server\\quorvel\\Quorvel.ini"});
        UINT n = 0;
        for (const Entry& entry : {notes, phones, sheets, viewer}) {
            report.AddEntry(Outcome(++n, entry));
        }
        start.tm_sec = 4;
        std::ofstream(reportFolder + "/" + ReportFileName(computer, user), std::ios::binary)
            << report.Compose(true, ReportMoment(start));
    }
    std::ofstream(logPath, std::ios::binary) << log;
}

}  // namespace testing_support
