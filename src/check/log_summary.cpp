#include "check/log_summary.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "check/check_platform.h"
#include "check/text_format.h"
#include "update/log_timestamp.h"

namespace {

constexpr size_t kTimestampLength = 25;  // "Sun, 06 Dec 2026 09:12:44"
constexpr size_t kLineCap = 4096;        // a longer line is counted as unparsed
constexpr size_t kReadBlock = 1u << 20;

bool Digits(std::string_view text, size_t at, size_t count, unsigned* value)
{
    *value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        *value = *value * 10 + static_cast<unsigned>(text[i] - '0');
    }
    return true;
}

// "Sun, 06 Dec 2026 09:12:44" as a moment; 0 when it is not one.
Moment ParseTimestamp(std::string_view line)
{
    unsigned day, year, hour, minute, second;
    if (line.size() < kTimestampLength || line[3] != ',' || line[4] != ' ' ||
        !Digits(line, 5, 2, &day) || line[7] != ' ' || line[11] != ' ' ||
        !Digits(line, 12, 4, &year) || line[16] != ' ' || !Digits(line, 17, 2, &hour) ||
        line[19] != ':' || !Digits(line, 20, 2, &minute) || line[22] != ':' ||
        !Digits(line, 23, 2, &second)) {
        return 0;
    }
    unsigned month = 0;
    while (month < 12 && std::memcmp(line.data() + 8, kMonthNames[month], 3) != 0) {
        ++month;
    }
    if (month == 12) {
        return 0;
    }
    return ((((Moment{year} * 100 + month + 1) * 100 + day) * 100 + hour) * 100 + minute) * 100 +
           second;
}

// Where " - " follows the timestamp's blank and the zone name (no blank in it, maybe empty);
// npos when it does not.
size_t TailStart(std::string_view line)
{
    if (line.size() < kTimestampLength + 1 || line[kTimestampLength] != ' ') {
        return std::string_view::npos;
    }
    size_t dash = line.find(' ', kTimestampLength + 1);
    return dash != std::string_view::npos && line.compare(dash, 3, " - ") == 0
               ? dash
               : std::string_view::npos;
}

// "Name (\\computer, user name)" or "Name".
void ParseLineTail(std::string_view rest, LogLine* parsed)
{
    parsed->computer = {};
    parsed->user = {};
    size_t open = rest.rfind(" (\\\\");
    size_t user = rest.rfind(", user ");
    if (open != std::string_view::npos && user != std::string_view::npos && user > open &&
        rest.back() == ')') {
        parsed->computer = rest.substr(open + 4, user - open - 4);
        parsed->user = rest.substr(user + 7, rest.size() - 1 - user - 7);
        rest = rest.substr(0, open);
    }
    parsed->name = rest;
}

}  // namespace

bool ParseLogLine(std::string_view line, LogLine* parsed)
{
    parsed->moment = ParseTimestamp(line);
    size_t dash = TailStart(line);
    if (parsed->moment == 0 || dash == std::string_view::npos) {
        return false;
    }
    ParseLineTail(line.substr(dash + 3), parsed);
    return !parsed->name.empty();
}

void LogSummary::SetMaster(std::string_view application, Moment written)
{
    TallyOf(names_.Intern(application)).master = written;
}

void LogSummary::SetMasterOn(std::string_view application, std::string_view computer,
                             Moment written)
{
    uint32_t id = names_.Intern(application);
    TallyOf(id);
    pairs_[PairKey(id, names_.Intern(computer))].master = written;
}

void LogSummary::AddUnparsed(unsigned long long number)
{
    ++unparsed;
    if (unparsedLines.size() < kUnparsedListed) {
        unparsedLines.push_back(number);
    }
}

const LogSummary::LineTail& LogSummary::TailOf(std::string_view tail)
{
    uint32_t id = tails_.Intern(tail);
    if (id < tailRecords_.size()) {
        return tailRecords_[id];
    }
    LogLine parsed;
    ParseLineTail(tail, &parsed);
    if (parsed.name.empty()) {
        tailRecords_.push_back({nullptr, nullptr});  // no Name: not a log line
        return tailRecords_.back();
    }
    uint32_t application = names_.Intern(parsed.name);
    Tally& tally = TallyOf(application);
    Pair* pair = nullptr;
    if (!parsed.computer.empty()) {
        uint32_t computer = names_.Intern(parsed.computer);
        tally.computers.insert(computer);
        tally.users.insert(names_.Intern(parsed.user));
        pair = &pairs_[PairKey(application, computer)];
    }
    tailRecords_.push_back({&tally, pair});
    return tailRecords_.back();
}

Moment LogSummary::LineMoment(std::string_view line)
{
    // Lines of one day share the date: only the time of day is read again.
    unsigned hour, minute, second;
    if (lastDateMoment_ != 0 && line.size() >= kTimestampLength &&
        std::memcmp(line.data(), lastDate_, sizeof lastDate_) == 0 && Digits(line, 17, 2, &hour) &&
        line[19] == ':' && Digits(line, 20, 2, &minute) && line[22] == ':' &&
        Digits(line, 23, 2, &second)) {
        return lastDateMoment_ + Moment{hour} * 10000u + Moment{minute} * 100u + second;
    }
    Moment moment = ParseTimestamp(line);
    if (moment != 0) {
        std::memcpy(lastDate_, line.data(), sizeof lastDate_);
        lastDateMoment_ = moment / 1000000u * 1000000u;
    }
    return moment;
}

void LogSummary::AddLine(std::string_view line, unsigned long long number)
{
    Moment moment = LineMoment(line);
    size_t dash = TailStart(line);
    if (moment == 0 || dash == std::string_view::npos || dash + 3 >= line.size()) {
        AddUnparsed(number);
        return;
    }
    const LineTail& tail = TailOf(line.substr(dash + 3));
    if (tail.tally == nullptr) {
        AddUnparsed(number);
        return;
    }
    ++understood;
    Tally& tally = *tail.tally;
    ++tally.launches;
    if (tally.first == 0 || moment < tally.first) {
        tally.first = moment;
    }
    tally.last = std::max(tally.last, moment);
    uint32_t day = DayOf(moment);
    if (tally.lastDayCount == nullptr || tally.lastDay != day) {
        tally.lastDay = day;
        tally.lastDayCount = &tally.perDay[day];
    }
    ++*tally.lastDayCount;
    if (lastMinuteCount_ == nullptr || lastMinute_ != MinuteOf(moment)) {
        lastMinute_ = MinuteOf(moment);
        lastMinuteCount_ = &perMinute_[lastMinute_];
    }
    ++*lastMinuteCount_;
    if (tail.pair == nullptr) {
        return;
    }
    Pair& pair = *tail.pair;
    ++pair.launches;
    pair.lastSeen = std::max(pair.lastSeen, moment);
    Moment master = pair.master != 0 ? pair.master : tally.master;
    if (master != 0 && moment >= master) {
        ++pair.sinceMaster;
    }
}

std::vector<LogSummary::Application> LogSummary::Applications() const
{
    std::map<std::string, Application> sorted;
    for (const auto& item : tallies_) {
        const Tally& tally = item.second;
        Application& application = sorted[std::string(names_.Name(item.first))];
        application.name = std::string(names_.Name(item.first));
        application.launches = tally.launches;
        application.first = tally.first;
        application.last = tally.last;
        application.master = tally.master;
        application.computers = tally.computers.size();
        application.users = tally.users.size();
        application.perDay = tally.perDay;
    }
    for (const auto& item : pairs_) {
        const Pair& pair = item.second;
        if (IsReinstallLoop(pair.sinceMaster)) {
            sorted[std::string(names_.Name(static_cast<uint32_t>(item.first >> 32)))]
                .loops.push_back({std::string(names_.Name(static_cast<uint32_t>(item.first))),
                                  pair.sinceMaster});
        }
    }
    std::vector<Application> applications;
    for (auto& item : sorted) {
        std::sort(item.second.loops.begin(), item.second.loops.end(),
                  [](const Loop& a, const Loop& b) { return a.computer < b.computer; });
        applications.push_back(std::move(item.second));
    }
    return applications;
}

unsigned LogSummary::CountLoops() const
{
    unsigned loops = 0;
    for (const auto& item : pairs_) {
        loops += IsReinstallLoop(item.second.sinceMaster) ? 1 : 0;
    }
    return loops;
}

std::map<std::string, Moment> LogSummary::ComputersLastSeen() const
{
    std::map<std::string, Moment> seen;
    for (const auto& item : pairs_) {
        if (item.second.lastSeen != 0) {
            Moment& last = seen[std::string(names_.Name(static_cast<uint32_t>(item.first)))];
            last = std::max(last, item.second.lastSeen);
        }
    }
    return seen;
}

LogSummary::BusiestHour LogSummary::Busiest() const
{
    std::map<unsigned long long, unsigned long long> perHour;
    for (const auto& item : perMinute_) {
        perHour[item.first / 100] += item.second;
    }
    BusiestHour busiest;
    for (const auto& hour : perHour) {
        if (hour.second > busiest.launches) {
            busiest.hour = hour.first;
            busiest.launches = hour.second;
        }
    }
    for (const auto& item : perMinute_) {
        if (item.first / 100 == busiest.hour) {
            busiest.perMinute[static_cast<size_t>(item.first % 100)] = item.second;
        }
    }
    return busiest;
}

LogReading SummariseLog(const std::string& path, unsigned long long capBytes, LogSummary* summary)
{
    LogReading reading;
    unsigned long long size = 0;
    FILE* file = OpenRegularFile(path, &size, &reading.why);
    if (file == nullptr) {
        return reading;
    }
    if (size > capBytes) {
        std::fclose(file);
        reading.capReached = true;
        reading.why = "it holds " + std::to_string(size) + " bytes, more than the " +
                      std::to_string(capBytes) + " read at most";
        return reading;
    }
    std::unique_ptr<char[]> block(new char[kReadBlock]);
    std::string carried;  // a line that began in the previous block
    bool tooLong = false;
    unsigned long long number = 0, total = 0;
    auto finish = [&](std::string_view line) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (tooLong) {
            summary->AddUnparsed(number);
        } else if (!line.empty()) {
            summary->AddLine(line, number);
        }
        tooLong = false;
    };
    size_t got = 0;
    // A log that grows while it is read is read to the bound it had when opened.
    while (total < capBytes &&
           (got = std::fread(block.get(), 1,
                             static_cast<size_t>(std::min<unsigned long long>(kReadBlock,
                                                                              capBytes - total)),
                             file)) > 0) {
        total += got;
        const char* at = block.get();
        const char* end = at + got;
        while (at < end) {
            size_t left = static_cast<size_t>(end - at);
            const char* newline = static_cast<const char*>(std::memchr(at, '\n', left));
            const char* stop = newline != nullptr ? newline : end;
            size_t length = static_cast<size_t>(stop - at);
            if (carried.empty() && newline != nullptr && length <= kLineCap) {
                finish(std::string_view(at, length));
            } else {
                size_t room = kLineCap + 1 > carried.size() ? kLineCap + 1 - carried.size() : 0;
                tooLong = tooLong || length > room;
                carried.append(at, std::min(length, room));
                if (newline != nullptr) {
                    tooLong = tooLong || carried.size() > kLineCap;
                    finish(carried);
                    carried.clear();
                }
            }
            at = newline != nullptr ? newline + 1 : end;
        }
    }
    if (!carried.empty() || tooLong) {
        tooLong = tooLong || carried.size() > kLineCap;
        finish(carried);
    }
    std::fclose(file);
    reading.read = true;
    return reading;
}

std::string LogSummaryText(const std::string& path, const LogSummary& summary)
{
    std::string text = "Install log " + path + "\n";
    for (const LogSummary::Application& application : summary.Applications()) {
        if (application.launches == 0) {
            continue;  // named by the settings file, never launched
        }
        text += "  " + application.name + ": " +
                CountedText(application.launches, "launch", "launches") + " on " +
                CountedText(application.computers, "computer", "computers") + " by " +
                CountedText(application.users, "user", "users") + ", first " +
                FormatMoment(application.first) + ", last " + FormatMoment(application.last) + "\n";
        text += application.master != 0
                    ? "    master last written " + FormatMoment(application.master) + "\n"
                    : "    master not found in the settings file: re-install loops not judged\n";
        for (const LogSummary::Loop& loop : application.loops) {
            text += "    re-install loop: started " + std::to_string(loop.starts) +
                    " times on \\\\" + loop.computer +
                    " for one master: its setup does not bring Destination up to date\n";
        }
    }
    text += "  lines not understood: " + std::to_string(summary.unparsed);
    for (size_t i = 0; i < summary.unparsedLines.size(); ++i) {
        const char* first = summary.unparsed == 1 ? " (line " : " (lines ";
        text += (i == 0 ? first : ", ") + std::to_string(summary.unparsedLines[i]);
    }
    if (!summary.unparsedLines.empty()) {
        text += summary.unparsed > summary.unparsedLines.size() ? ", ...)" : ")";
    }
    return text + "\n";
}

std::string LogSummaryCsv(const LogSummary& summary)
{
    std::string csv = "Application,Launches,Computers,Users,FirstLaunch,LastLaunch,"
                      "MasterWritten,ReinstallLoops\r\n";
    for (const LogSummary::Application& application : summary.Applications()) {
        if (application.launches == 0) {
            continue;
        }
        csv += CsvCell(application.name) + "," + std::to_string(application.launches) + "," +
               std::to_string(application.computers) + "," + std::to_string(application.users) +
               "," + FormatMoment(application.first) + "," + FormatMoment(application.last) + "," +
               FormatMoment(application.master) + "," + std::to_string(application.loops.size()) +
               "\r\n";
    }
    return csv;
}
