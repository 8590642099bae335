// The install log, summarised in one streaming pass: launches per application, computer and
// user, per day and per minute, when each computer was last seen, and re-install loops.
//
// A re-install loop is an entry started again and again for one master: at least three
// launches on one computer since that master was last written. A computer that received
// v1, v2 and v3 on three days was started once per master, which is no loop. The master's
// moment comes from the settings file's Source, or from the computer's own pass report.
#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "check/moment.h"
#include "check/name_table.h"

struct LogLine {
    Moment moment = 0;
    std::string_view name;
    std::string_view computer;  // empty in the short form
    std::string_view user;      // empty in the short form
};

// Parses one line (without its CR LF); false when it is not a log line.
bool ParseLogLine(std::string_view line, LogLine* parsed);

// Starts for one master from which a computer is flagged.
constexpr unsigned kLoopStarts = 3;
inline bool IsReinstallLoop(unsigned startsForOneMaster)
{
    return startsForOneMaster >= kLoopStarts;
}

// How many of the lines not understood are named by number.
constexpr size_t kUnparsedListed = 5;

class LogSummary {
public:
    // The moment the application's master was last written: launches at or after it count
    // toward a loop. Without one, loops are not judged for that application.
    void SetMaster(std::string_view application, Moment written);
    // The same for one computer, from its own report: the master as that computer saw it.
    void SetMasterOn(std::string_view application, std::string_view computer, Moment written);

    void AddLine(std::string_view line, unsigned long long number);
    void AddUnparsed(unsigned long long number);

    struct Loop {
        std::string computer;
        unsigned starts;  // launches since the master was last written
    };
    struct Application {
        std::string name;
        unsigned long long launches = 0;
        Moment first = 0, last = 0;
        Moment master = 0;  // 0: not known, loops not judged
        size_t computers = 0, users = 0;
        std::vector<Loop> loops;
        std::map<uint32_t, unsigned long long> perDay;  // YYYYMMDD: launches
    };
    // By name.
    std::vector<Application> Applications() const;
    unsigned CountLoops() const;
    // Each computer named in a long-form line, with its last launch.
    std::map<std::string, Moment> ComputersLastSeen() const;
    // The clock hour with the most launches (YYYYMMDDhh, 0 for none) and its minutes.
    struct BusiestHour {
        unsigned long long hour = 0;
        unsigned long long launches = 0;
        std::array<unsigned, 60> perMinute{};
    };
    BusiestHour Busiest() const;

    unsigned long long understood = 0;  // lines read as log lines
    unsigned long long unparsed = 0;
    std::vector<unsigned long long> unparsedLines;  // the first kUnparsedListed of them

private:
    struct Pair {
        unsigned launches = 0;
        unsigned sinceMaster = 0;
        Moment master = 0;  // this computer's own master moment, when a report gave one
        Moment lastSeen = 0;
    };
    struct Tally {
        unsigned long long launches = 0;
        Moment first = 0, last = 0, master = 0;
        std::unordered_set<uint32_t> computers, users;
        std::map<uint32_t, unsigned long long> perDay;
        uint32_t lastDay = 0;  // the day of the last line, whose count follows
        unsigned long long* lastDayCount = nullptr;
    };
    // What follows " - " in a line: the Name and, in the long form, computer and user. A site's
    // lines repeat a few thousand of these, so each is parsed once.
    struct LineTail {
        Tally* tally;
        Pair* pair;  // null in the short form
    };
    Tally& TallyOf(uint32_t application) { return tallies_[application]; }
    const LineTail& TailOf(std::string_view tail);
    Moment LineMoment(std::string_view line);

    NameTable names_;
    NameTable tails_;
    std::vector<LineTail> tailRecords_;  // by the tail's number in tails_
    std::unordered_map<uint32_t, Tally> tallies_;
    std::unordered_map<uint64_t, Pair> pairs_;          // (application, computer)
    std::unordered_map<uint64_t, unsigned> perMinute_;  // YYYYMMDDhhmm: launches
    uint64_t lastMinute_ = 0;
    unsigned* lastMinuteCount_ = nullptr;
    char lastDate_[17] = {};  // "Sun, 06 Dec 2026 " of the last timestamp read
    Moment lastDateMoment_ = 0;
};

// What reading the log came to.
struct LogReading {
    bool read = false;
    std::string why;  // when not read: cannot be opened, not a regular file, too large
    bool capReached = false;
};

// The size past which a log is not read unless a switch allows more.
constexpr unsigned long long kDefaultLogCapMiB = 1024;

// Streams the log at `path` into `summary`, in bounded lines. A file larger than `capBytes`
// is not read.
LogReading SummariseLog(const std::string& path, unsigned long long capBytes, LogSummary* summary);

std::string LogSummaryText(const std::string& path, const LogSummary& summary);
// One row per application, with a header row (RFC 4180).
std::string LogSummaryCsv(const LogSummary& summary);
