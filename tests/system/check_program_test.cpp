// The companion program against the log-on program on the same files: it reports due exactly
// the entries whose setup the log-on program starts, and it changes nothing on the way.
#include <sys/stat.h>

#include <map>
#include <set>
#include <sstream>

#include "system/system_fixture.h"

namespace system_tests {
namespace {

// Bytes and last-write time of a file, or nothing for a missing one.
std::string Snapshot(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        return "(missing)";
    }
    return std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec) +
           ":" + testing_support::ReadFile(path);
}

// Names of the rows whose verdict is "due" in the check's CSV (Entry,Name,Verdict,...).
std::set<std::string> DueNames(const std::string& csv)
{
    std::set<std::string> names;
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);  // the header
    while (std::getline(lines, line)) {
        size_t name = line.find(',') + 1;
        size_t verdict = line.find(',', name) + 1;
        if (line.compare(verdict, 4, "due,") == 0) {
            names.insert(line.substr(name, verdict - 1 - name));
        }
    }
    return names;
}

class CheckProgram : public SystemTest {};

TEST_F(CheckProgram, ReportsDueWhatTheLogOnRunStartsAndChangesNothing)
{
    WriteMixedEntries();
    const std::map<std::string, std::string> labels = {
        {"Missing install", "a"}, {"Current", "b"}, {"Newer version", "d"},
        {"Missing master", "e"}};
    WriteOptionsFile("/log\r\n/install\r\n");
    testing_support::WriteFile(DefaultLog(), "an earlier line\r\n");
    WriteRunLine("other.exe");
    const std::vector<std::string> watched = {
        DefaultLog(),           BesideProgram("Quorvel.ini"), BesideProgram("Quorvel.cfg"),
        Native("master-a.exe"), Native("installed-b.exe"),    Native("installed-d.exe"),
        Native("installed-a.exe"), Native("home/.config/win.ini")};
    std::vector<std::string> before;
    for (const std::string& path : watched) {
        before.push_back(Snapshot(path));
    }

    testing_support::ProcessResult report = RunCheck({});
    testing_support::ProcessResult table = RunCheck({"/csv"});

    // Entries due (4) and the entry without SetupApp as a problem (2).
    EXPECT_EQ(report.exitStatus, 6) << report.output;
    EXPECT_EQ(table.exitStatus, 6) << table.output;
    EXPECT_NE(report.output.find("would register"), std::string::npos) << report.output;
    EXPECT_NE(report.output.find("[App3] has no SetupApp"), std::string::npos) << report.output;
    for (size_t i = 0; i < watched.size(); ++i) {
        EXPECT_EQ(Snapshot(watched[i]), before[i]) << watched[i];
    }
    EXPECT_EQ(ReadRunLine(), "other.exe");
    EXPECT_TRUE(MarkersAfterGrace().empty());

    std::set<std::string> started;
    for (const std::string& name : DueNames(table.output)) {
        started.insert(labels.at(name));
    }
    EXPECT_EQ(started, (std::set<std::string>{"a", "d"})) << table.output;
    EXPECT_EQ(Run({}).exitStatus, 0);
    WaitForMarkers({"a", "d"});
    std::vector<std::string> markers = MarkersAfterGrace();
    EXPECT_EQ(std::set<std::string>(markers.begin(), markers.end()), started);

    // The log-on run's lines, summarised; versions as the decision read them.
    testing_support::ProcessResult summary = RunCheck({"/log-summary"});
    EXPECT_EQ(summary.exitStatus, 0) << summary.output;
    EXPECT_NE(summary.output.find("Newer version: 1 launches on 1 computers"), std::string::npos)
        << summary.output;
    EXPECT_NE(summary.output.find("lines not understood: 1"), std::string::npos);
    testing_support::ProcessResult versions =
        RunCheck({"/versions", Visible("master-d.exe"), Visible("nowhere.exe")});
    EXPECT_EQ(versions.exitStatus, 2);
    EXPECT_NE(versions.output.find("master-d.exe: file version 1.1.0.0, product version "
                                   "1.0.0.0"), std::string::npos) << versions.output;
    EXPECT_NE(versions.output.find("nowhere.exe: not found"), std::string::npos);
}

TEST_F(CheckProgram, RefusedLineIsReportedWithItsLineAndExitsWithOne)
{
    // Unquoted, the '/' of a path starts a new switch. The first line is read in two pieces,
    // and its NUL must not make its first piece count as a whole line.
    WriteOptionsFile(std::string("/log\0", 5) + std::string(300, ' ') +
                     "\r\n\r\n/ini=settings/a.ini\r\n");
    testing_support::ProcessResult result = RunCheck({});
    EXPECT_EQ(result.exitStatus & 1, 1) << result.output;
    EXPECT_NE(result.output.find("options file line 3"), std::string::npos) << result.output;
    EXPECT_FALSE(testing_support::FileExists(DefaultLog()));
}

}  // namespace
}  // namespace system_tests
