// Whole runs over settings files with entries due and not due: which setup programs start,
// with which arguments, and in which order their log lines arrive.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "system/system_fixture.h"

namespace system_tests {
namespace {

using testing_support::WriteFile;

class CheckAndLaunch : public SystemTest {};

TEST_F(CheckAndLaunch, StartsExactlyTheEntriesThatAreDue)
{
    WriteMixedEntries();
    EXPECT_EQ(Run({}).exitStatus, 0);
    WaitForMarkers({"a", "d"});
    EXPECT_EQ(MarkersAfterGrace(), (std::vector<std::string>{"a", "d"}));
}

TEST_F(CheckAndLaunch, DueEntriesAreLoggedInEntryOrderBeforeTheirSetupStarts)
{
    WriteSettingsFile(SettingsText({
        {"First", Visible("m1"), Visible("i1"), MarkerCommand("one")},
        {"Second", Visible("m2"), Visible("i2"), MarkerCommand("two")},
    }));
    EXPECT_EQ(Run({}).exitStatus, 0);
    EXPECT_EQ(WaitForMarkers({"one", "two"}), (std::vector<std::string>{"one", "two"}));
    std::string log = testing_support::ReadFile(DefaultLog());
    size_t first = log.find(" - First");
    size_t second = log.find(" - Second");
    ASSERT_NE(first, std::string::npos) << log;
    ASSERT_NE(second, std::string::npos) << log;
    EXPECT_LT(first, second);
}

TEST_F(CheckAndLaunch, SetupCommandLineIsSplitByTheWindowsRules)
{
    WriteSettingsFile(SettingsText({{"Args", Visible("m"), Visible("i"),
                                     MarkerCommand("args",
                                                   {"plain", "\"two words\"", "tail\\\"quote"})}}));
    EXPECT_EQ(Run({}).exitStatus, 0);
    WaitForMarkers({"args"});
    EXPECT_EQ(MarkerContent("args"), "plain\ntwo words\ntail\"quote\n");
}

// Each setup program runs 15 s without serving a message queue, then leaves "<label>.done":
// the run must end before either does, and start both.
TEST_F(CheckAndLaunch, SetupProgramsAreNotWaitedFor)
{
    WriteSettingsFile(SettingsText({
        {"First", Visible("m1"), Visible("i1"), MarkerCommand("one", {"--linger"})},
        {"Second", Visible("m2"), Visible("i2"), MarkerCommand("two", {"--linger"})},
    }));
    testing_support::ProcessResult run = Run({});
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_FALSE(testing_support::FileExists(Native("markers/one.done")));
    EXPECT_FALSE(testing_support::FileExists(Native("markers/two.done")));
    EXPECT_LT(run.elapsed, std::chrono::seconds(10));
    EXPECT_EQ(WaitForMarkers({"one", "two"}), (std::vector<std::string>{"one", "two"}));
}

// SpreadSeconds=2 holds each run back a random time below two seconds before its entry: a run
// lasts from its usual time to two seconds longer (with room for a busy machine), the runs do
// not all last the usual time (all four draws below 0.25 s: once in 4,000), and the setup
// program starts once the wait is over.
TEST_F(CheckAndLaunch, ASpreadStartsTheSetupAfterARandomWaitBelowItsRange)
{
    using std::chrono::milliseconds;
    std::vector<std::string> started;
    auto timedRun = [&](const std::string& spread) {
        std::string label = "run" + std::to_string(started.size());
        WriteSettingsFile(
            SettingsText({{"Spread", Visible("m"), Visible("i"), MarkerCommand(label)}}, spread));
        testing_support::ProcessResult run = Run({"/log-"});
        EXPECT_EQ(run.exitStatus, 0);
        started.push_back(label);
        EXPECT_EQ(WaitForMarkers(started), started);
        return run.elapsed;
    };
    milliseconds noKey = timedRun("");
    milliseconds noSpread = timedRun("SpreadSeconds=0\r\n");
    milliseconds usualLeast = std::min(noKey, noSpread);
    milliseconds usualMost = std::max(noKey, noSpread);
    milliseconds longest{0};
    for (int i = 0; i < 4; ++i) {
        milliseconds spread = timedRun("SpreadSeconds=2\r\n");
        EXPECT_LT(spread, usualMost + milliseconds(2000 + 2000));
        longest = std::max(longest, spread);
    }
    EXPECT_GE(longest, usualLeast + milliseconds(250))
        << "usual runs " << usualLeast.count() << " to " << usualMost.count() << " ms";
}

TEST_F(CheckAndLaunch, AnEntryWithAnyKeyEmptyOrMissingIsSkipped)
{
    // Every entry would be due (its installed file is missing); a row per key, empty or
    // missing, and one more entry in Count than there are sections.
    const char* const keys[] = {"Name", "Source", "Destination", "SetupApp"};
    std::string text = "[Quorvel]\r\nCount=10\r\n";
    int sections = 0;
    auto addSection = [&](const std::string& label, const std::string& without, bool empty) {
        const std::string values[] = {label, Visible("m"), Visible("i"), MarkerCommand(label)};
        text += "[App" + std::to_string(++sections) + "]\r\n";
        for (size_t k = 0; k < 4; ++k) {
            if (keys[k] != without) {
                text += std::string(keys[k]) + "=" + values[k] + "\r\n";
            } else if (empty) {
                text += std::string(keys[k]) + "=\r\n";
            }
        }
    };
    for (const char* key : keys) {
        addSection(std::string(key) + "-empty", key, true);
        addSection(std::string(key) + "-missing", key, false);
    }
    addSection("due", "", false);
    WriteSettingsFile(text);
    EXPECT_EQ(Run({}).exitStatus, 0);
    WaitForMarkers({"due"});
    EXPECT_EQ(MarkersAfterGrace(), std::vector<std::string>{"due"});
    std::string log = testing_support::ReadFile(DefaultLog());
    EXPECT_EQ(log.find("\r\n"), log.size() - 2) << log;         // one line,
    EXPECT_NE(log.find(" - due ("), std::string::npos) << log;  // the due entry's
}

// Count=-1 reads as 4294967295; the pass still ends after the last section, at once.
TEST_F(CheckAndLaunch, AHugeCountEndsAfterTheHighestSection)
{
    std::string settings = "[Quorvel]\nCount=-1\n";
    for (const char* entry : {"App1", "App5", "app9"}) {
        settings += std::string("[") + entry + "]\nName=" + entry + "\nSource=" + Visible("m") +
                    "\nDestination=" + Visible("i") + "\nSetupApp=" + MarkerCommand(entry) + "\n";
    }
    WriteSettingsFile(settings);
    EXPECT_EQ(Run({}).exitStatus, 0);
    WaitForMarkers({"App1", "App5", "app9"});
    EXPECT_EQ(MarkersAfterGrace(), (std::vector<std::string>{"App1", "App5", "app9"}));
}

TEST_F(CheckAndLaunch, SettingsFileNamedOnTheCommandLineOverridesTheOptionsFile)
{
    std::string due = SettingsText({{"Due", Visible("m"), Visible("i"), MarkerCommand("b")}});
    WriteFile(Native("a.ini"),
              SettingsText({{"A", Visible("m"), Visible("i"), MarkerCommand("a")}}));
    WriteFile(Native("b dir.ini"), due);
    // A path in the options file is quoted: unquoted, a '/' would begin a new switch.
    WriteOptionsFile("/ini=\"" + Visible("a.ini") + "\"\r\n");
    EXPECT_EQ(Run({"/ini=" + Visible("b dir.ini")}).exitStatus, 0);
    WaitForMarkers({"b"});
    EXPECT_EQ(MarkersAfterGrace(), (std::vector<std::string>{"b"}));
}

TEST_F(CheckAndLaunch, AnOptionsFileWithAByteOrderMarkAndLoneCarriageReturnsIsRead)
{
    WriteFile(Native("named.ini"),
              SettingsText({{"Due", Visible("m"), Visible("i"), MarkerCommand("due")}}));
    std::string path = Visible("named.ini");
    size_t cut = path.size() - 4;
    WriteOptionsFile("\xEF\xBB\xBF/ini=\"" + path.substr(0, cut) + "\r" + path.substr(cut) +
                     "\"\r\n");
    auto result = Run({});
    EXPECT_EQ(result.exitStatus, 0) << result.output;
    EXPECT_EQ(WaitForMarkers({"due"}), std::vector<std::string>{"due"});
}

// A setup that runs five seconds, and passes over it. With SkipRunningSetups, a pass while it
// runs starts no second copy and writes no line (and the companion says so); once it has ended,
// a pass starts it again. Without the key, every pass starts one.
TEST_F(CheckAndLaunch, SkipRunningSetupsLeavesAnEarlierPassesSetupToFinish)
{
    auto starts = [&] { return testing_support::ReadFile(Native("markers/long.tally")).size(); };
    auto lines = [&] {
        std::string log = testing_support::ReadFile(DefaultLog());
        return static_cast<size_t>(std::count(log.begin(), log.end(), '\n'));
    };
    for (const std::string key : {"SkipRunningSetups=1\r\n", ""}) {
        SCOPED_TRACE(key.empty() ? "without the key" : "with the key");
        for (const char* left : {"long", "long.done", "long.tally"}) {
            std::remove(Native(std::string("markers/") + left).c_str());
        }
        std::remove(DefaultLog().c_str());
        // With the key, the pass report says what the second pass saw.
        std::filesystem::create_directories(Native("reports"));
        WriteSettingsFile(SettingsText({{"Long", Visible("m"), Visible("i"),
                                         MarkerCommand("long", {"--tally", "--linger=5"})}},
                                       key.empty()
                                           ? key
                                           : key + "ReportFolder=" + Visible("reports") + "\r\n"));
        ASSERT_EQ(Run({}).exitStatus, 0);
        ASSERT_EQ(WaitForMarkers({"long"}), (std::vector<std::string>{"long", "long.tally"}));
        if (!key.empty()) {
            std::string report = RunCheck({}).output;
            EXPECT_NE(report.find("SkipRunningSetups 1"), std::string::npos) << report;
            EXPECT_NE(report.find(": in progress: started by an earlier pass, still running"),
                      std::string::npos)
                << report;
        }
        ASSERT_EQ(Run({}).exitStatus, 0);
        if (!key.empty()) {
            std::string report;
            for (const auto& file : std::filesystem::directory_iterator(Native("reports"))) {
                report += testing_support::ReadFile(file.path().string());
            }
            EXPECT_NE(report.find(",in progress,an earlier setup is still running,"),
                      std::string::npos)
                << report;
        }
        WaitForMarkers({"long.done"});
        EXPECT_EQ(starts(), key.empty() ? 2u : 1u);
        EXPECT_EQ(lines(), key.empty() ? 2u : 1u);
        if (!key.empty()) {
            // The setup has written its last file and is ending: a pass soon starts it again.
            auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (starts() < 2 && std::chrono::steady_clock::now() < deadline) {
                ASSERT_EQ(Run({}).exitStatus, 0);
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            EXPECT_EQ(starts(), 2u);
            EXPECT_EQ(lines(), 2u);
        }
        std::this_thread::sleep_for(std::chrono::seconds(6));  // the last copy ends too
    }
}

TEST_F(CheckAndLaunch, AMissingSettingsFileExaminesNothing)
{
    EXPECT_EQ(Run({"/ini=" + Visible("absent.ini")}).exitStatus, 0);
    EXPECT_EQ(Run({}).exitStatus, 0);
    EXPECT_TRUE(MarkersAfterGrace().empty());
}

// What another user could put in a root run's way: a file at the first word of an unquoted
// program path with a blank, a program in the current folder found through an empty PATH
// entry, an executable that is no program and has no interpreter line. A run as root starts
// none of them; the entries it may trust still start.
TEST_F(CheckAndLaunch, ARunAsRootStartsNothingAnotherUserCouldHavePlanted)
{
    if (UnderWine() || geteuid() != 0) {
        GTEST_SKIP() << "the rules of a POSIX run as root";
    }
    auto script = [&](const std::string& relative, const std::string& body) {
        WriteFile(Native(relative), body);
        chmod(Native(relative).c_str(), 0755);
    };
    const std::string touch = "touch " + Native("markers") + "/";
    mkdir(Native("apps").c_str(), 0755);
    mkdir(Native("apps/Team Notes").c_str(), 0755);
    script("apps/Team", "#!/bin/sh\n" + touch + "planted-first-word\n");
    script("apps/Team Notes/setup.sh", "#!/bin/sh\n" + touch + "blank-path\n");
    script("rogue", "#!/bin/sh\n" + touch + "planted-in-current-folder\n");
    script("not-a-program", std::string("\0\0\n", 3) + touch + "shell-fallback\n");
    script("quoted-ok", "#!/bin/sh\n" + touch + "quoted\n");
    WriteSettingsFile(SettingsText({
        {"Blank", Visible("m"), Visible("i1"), Native("apps/Team Notes/setup.sh") + " -q"},
        {"Bare", Visible("m"), Visible("i2"), "rogue"},
        {"Binary", Visible("m"), Visible("i3"), Native("not-a-program")},
        {"Quoted", Visible("m"), Visible("i4"), "\"" + Native("quoted-ok") + "\" -q"},
        {"Trusted", Visible("m"), Visible("i5"), MarkerCommand("trusted")},
    }));
    EXPECT_EQ(Run({}, {{"PATH", ":/usr/bin:/bin"}}).exitStatus, 0);
    WaitForMarkers({"quoted", "trusted"});
    EXPECT_EQ(MarkersAfterGrace(), (std::vector<std::string>{"quoted", "trusted"}));
}

}  // namespace
}  // namespace system_tests
