#include "check/log_summary.h"

#include <cstdio>
#include <cstring>

#include "check/text_format.h"
#include "update/log_timestamp.h"

namespace {

constexpr size_t kTimestampLength = 25;  // "Sun, 06 Dec 2026 09:12:44"
constexpr size_t kLineCap = 4096;        // a longer line is counted as unparsed

bool Digits(const std::string& text, size_t at, size_t count)
{
    for (size_t i = at; i < at + count; ++i) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9') {
            return false;
        }
    }
    return true;
}

// "Sun, 06 Dec 2026 09:12:44" to "2026-12-06 09:12:44".
bool ParseTimestamp(const std::string& line, std::string* moment)
{
    if (line.size() < kTimestampLength || line.compare(3, 2, ", ") != 0 || !Digits(line, 5, 2) ||
        line[7] != ' ' || line[11] != ' ' || !Digits(line, 12, 4) || line[16] != ' ' ||
        !Digits(line, 17, 2) || line[19] != ':' || !Digits(line, 20, 2) || line[22] != ':' ||
        !Digits(line, 23, 2)) {
        return false;
    }
    int month = 0;
    while (month < 12 && line.compare(8, 3, kMonthNames[month]) != 0) {
        ++month;
    }
    if (month == 12) {
        return false;
    }
    char text[24];
    std::snprintf(text, sizeof text, "%s-%02d-%s %s", line.substr(12, 4).c_str(), month + 1,
                  line.substr(5, 2).c_str(), line.substr(17, 8).c_str());
    *moment = text;
    return true;
}

}  // namespace

bool ParseLogLine(const std::string& line, LogLine* parsed)
{
    if (!ParseTimestamp(line, &parsed->moment) || line.size() < kTimestampLength + 1 ||
        line[kTimestampLength] != ' ') {
        return false;
    }
    // After the timestamp: a blank, the zone name (no blank in it, maybe empty), " - ".
    size_t dash = line.find(" - ", kTimestampLength);
    if (dash == std::string::npos ||
        line.find(' ', kTimestampLength + 1) < dash) {
        return false;
    }
    parsed->day = parsed->moment.substr(0, 10);
    std::string rest = line.substr(dash + 3);
    parsed->computer.clear();
    parsed->user.clear();
    size_t open = rest.rfind(" (\\\\");
    size_t user = rest.rfind(", user ");
    if (open != std::string::npos && user != std::string::npos && user > open &&
        !rest.empty() && rest.back() == ')') {
        parsed->computer = rest.substr(open + 4, user - open - 4);
        parsed->user = rest.substr(user + 7, rest.size() - 1 - user - 7);
        rest.resize(open);
    }
    parsed->name = rest;
    return !parsed->name.empty();
}

void AddUnparsedLine(unsigned number, LogSummary* summary)
{
    ++summary->unparsed;
    if (summary->unparsedLines.size() < kUnparsedListed) {
        summary->unparsedLines.push_back(number);
    }
}

void AddLogLine(const std::string& line, unsigned number, LogSummary* summary)
{
    LogLine parsed;
    if (!ParseLogLine(line, &parsed)) {
        AddUnparsedLine(number, summary);
        return;
    }
    ApplicationSummary& application = summary->applications[parsed.name];
    ++application.launches;
    if (application.first.empty() || parsed.moment < application.first) {
        application.first = parsed.moment;
    }
    if (parsed.moment > application.last) {
        application.last = parsed.moment;
    }
    if (!parsed.computer.empty()) {
        application.computers.insert(parsed.computer);
        application.daysByComputer[parsed.computer].insert(parsed.day);
        application.users.insert(parsed.user);
    }
}

bool SummariseLog(const std::string& path, LogSummary* summary)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    std::string line;
    bool tooLong = false;
    unsigned number = 0;
    char block[4096];
    size_t got = 0;
    auto finish = [&]() {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (tooLong) {
            AddUnparsedLine(number, summary);
        } else if (!line.empty()) {
            AddLogLine(line, number, summary);
        }
        line.clear();
        tooLong = false;
    };
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        for (size_t i = 0; i < got; ++i) {
            if (block[i] == '\n') {
                finish();
            } else if (line.size() < kLineCap) {
                line += block[i];
            } else {
                tooLong = true;
            }
        }
    }
    finish();
    std::fclose(file);
    return true;
}

unsigned CountLoops(const ApplicationSummary& application)
{
    unsigned loops = 0;
    for (const auto& computer : application.daysByComputer) {
        loops += computer.second.size() >= kLoopDays ? 1 : 0;
    }
    return loops;
}

unsigned CountReinstallLoops(const LogSummary& summary)
{
    unsigned loops = 0;
    for (const auto& application : summary.applications) {
        loops += CountLoops(application.second);
    }
    return loops;
}

std::string LogSummaryText(const std::string& path, const LogSummary& summary)
{
    std::string text = "Install log " + path + "\n";
    for (const auto& item : summary.applications) {
        const ApplicationSummary& application = item.second;
        text += "  " + item.first + ": " +
                CountedText(application.launches, "launch", "launches") + " on " +
                CountedText(application.computers.size(), "computer", "computers") + " by " +
                CountedText(application.users.size(), "user", "users") + ", first " +
                application.first + ", last " + application.last + "\n";
        for (const auto& computer : application.daysByComputer) {
            if (computer.second.size() >= kLoopDays) {
                text += "    re-install loop? launched on " +
                        std::to_string(computer.second.size()) + " different days on \\\\" +
                        computer.first + ": its setup may not bring Destination up to date\n";
            }
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
                      "ReinstallLoops\r\n";
    for (const auto& item : summary.applications) {
        const ApplicationSummary& application = item.second;
        csv += CsvField(item.first) + "," + std::to_string(application.launches) + "," +
               std::to_string(application.computers.size()) + "," +
               std::to_string(application.users.size()) + "," + application.first + "," +
               application.last + "," + std::to_string(CountLoops(application)) + "\r\n";
    }
    return csv;
}
