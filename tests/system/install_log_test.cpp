// The install log seen from outside: where it is, what a line holds, the lock, many writers.
#include <fcntl.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "system/system_fixture.h"

namespace system_tests {
namespace {

using testing_support::FileExists;
using testing_support::ReadFile;

const Environment kNoTz{{"TZ", "\x01unset"}};

std::string StampPattern(const std::string& zone)
{
    return "(?:Sun|Mon|Tue|Wed|Thu|Fri|Sat), [0-3][0-9] "
           "(?:Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [0-9]{4} "
           "[0-2][0-9]:[0-5][0-9]:[0-5][0-9] " +
           zone;
}

// The long form, with whatever computer and user names the workstation has.
std::regex LongLine(const std::string& zone, const std::string& namePattern)
{
    return std::regex(StampPattern(zone) + " - " + namePattern +
                      " \\(\\\\\\\\[^,\\\\]+, user [^)]+\\)\r\n");
}

// The whole lines of a log; a final piece without CR LF is kept as it is, so it shows.
std::vector<std::string> Lines(const std::string& content)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find("\r\n", start);
        end = end == std::string::npos ? content.size() : end + 2;
        lines.push_back(content.substr(start, end - start));
        start = end;
    }
    return lines;
}

std::string EscapeForRegex(const std::string& text)
{
    return std::regex_replace(text, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
}

// True when this process (not the writer) can lock [start, start + length) of `path`, length 0
// meaning to any end: the writer holds no lock on any byte of it.
bool OthersCanLock(const std::string& path, off_t start, off_t length)
{
    int fd = open(path.c_str(), O_RDWR);
    struct flock region {};
    region.l_type = F_WRLCK;
    region.l_whence = SEEK_SET;
    region.l_start = start;
    region.l_len = length;
    bool locked = fd >= 0 && fcntl(fd, F_SETLK, &region) == 0;
    if (fd >= 0) {
        close(fd);  // releases the lock
    }
    return locked;
}

bool WaitForFile(const std::string& path)
{
    for (int i = 0; i < 2400 && !FileExists(path); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return FileExists(path);
}

// `path` when the call that made it returned 0, else "".
std::string Made(int result, const std::string& path)
{
    return result == 0 ? path : "";
}

class InstallLog : public SystemTest {
protected:
    // One due entry (its installed file is missing) whose setup program leaves marker "setup".
    void WriteDueEntry(const std::string& name = "Word")
    {
        WriteSettingsFile(SettingsText({{name, Visible("master.exe"), Visible("installed.exe"),
                                         MarkerCommand("setup")}}));
    }

    // A native process that holds a record lock from the log's end for `milliseconds`.
    void HoldLogEnd(const std::string& log, int milliseconds)
    {
        std::string ready = LockHeldFile();
        holder_ = std::thread([=] {
            testing_support::RunProcess({QUORVEL_LOCK_HOLDER, log, std::to_string(milliseconds),
                                         ready});
        });
        for (int i = 0; i < 200 && !FileExists(ready); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        }
        ASSERT_TRUE(FileExists(ready)) << "the lock holder did not start";
    }

    // Removing this file makes the holder let go at once.
    std::string LockHeldFile() const { return Native("lock-held"); }

    void TearDown() override
    {
        if (holder_.joinable()) {
            holder_.join();
        }
    }

    std::thread holder_;
};

TEST_F(InstallLog, DefaultLogIsCreatedEmptyBesideTheProgramEvenWhenNothingStarts)
{
    EXPECT_EQ(Run({}).exitStatus, 0);
    EXPECT_TRUE(FileExists(DefaultLog()));
    EXPECT_EQ(ReadFile(DefaultLog()), "");
    EXPECT_TRUE(MarkersAfterGrace().empty());
}

TEST_F(InstallLog, AnExistingLogKeepsEveryByteAndTheLineFollowsIt)
{
    const char oldBytes[] = "first line\r\nno end, a NUL \0 and \xff\x1a";
    const std::string old(oldBytes, sizeof oldBytes - 1);
    testing_support::WriteFile(DefaultLog(), old);
    WriteDueEntry();
    EXPECT_EQ(Run({}, kNoTz).exitStatus, 0);
    EXPECT_EQ(WaitForMarkers({"setup"}), std::vector<std::string>{"setup"});
    std::string content = ReadFile(DefaultLog());
    ASSERT_GT(content.size(), old.size());
    EXPECT_EQ(content.substr(0, old.size()), old);
    // TZ unset: the timestamp ends in a blank, so two blanks stand before the hyphen.
    EXPECT_TRUE(std::regex_match(content.substr(old.size()), LongLine("", "Word")))
        << content.substr(old.size());
}

TEST_F(InstallLog, TheZoneNameComesFromTz)
{
    std::time_t now = std::time(nullptr);
    std::tm eastern{};
    {
        testing_support::ScopedEnvironmentVariable tz("TZ", "EST5EDT");
        localtime_r(&now, &eastern);  // the C library's reading, as the program makes it
    }
    const struct {
        const char* tz;
        std::string zone;
    } rows[] = {{"GMT0", "GMT"},
                {"EST5EDT", eastern.tm_isdst > 0 ? "EDT" : "EST"},
                {"Europe/Paris", ""},
                {"XY1", ""}};
    WriteDueEntry();
    for (const auto& row : rows) {
        testing_support::WriteFile(DefaultLog(), "");
        EXPECT_EQ(Run({}, {{"TZ", row.tz}}).exitStatus, 0);
        std::string content = ReadFile(DefaultLog());
        EXPECT_TRUE(std::regex_match(content, LongLine(row.zone, "Word")))
            << row.tz << ": " << content;
    }
}

TEST_F(InstallLog, NamesWithPercentSignsAndOfFullLengthAreWrittenWhole)
{
    const std::string names[] = {"100% %s %d %% %", std::string(259, 'N')};
    for (const std::string& name : names) {
        testing_support::WriteFile(DefaultLog(), "");
        WriteDueEntry(name);
        EXPECT_EQ(Run({}, kNoTz).exitStatus, 0);
        std::string content = ReadFile(DefaultLog());
        EXPECT_TRUE(std::regex_match(content, LongLine("", EscapeForRegex(name)))) << content;
    }
}

TEST_F(InstallLog, ALockReleasedWithinTheTriesLetsTheLineIn)
{
    testing_support::WriteFile(DefaultLog(), "x\r\n");
    WriteDueEntry();
    HoldLogEnd(DefaultLog(), 2000);
    EXPECT_EQ(Run({}, kNoTz).exitStatus, 0);
    EXPECT_EQ(WaitForMarkers({"setup"}), std::vector<std::string>{"setup"});
    std::vector<std::string> lines = Lines(ReadFile(DefaultLog()));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(std::regex_match(lines[1], LongLine("", "Word"))) << lines[1];
}

TEST_F(InstallLog, ALockKeptPastTheTriesDropsTheLineButNotTheSetup)
{
    testing_support::WriteFile(DefaultLog(), "x\r\n");
    WriteDueEntry();
    // Wine's start-up alone can outlast six seconds, so there the lock is kept until the run
    // is over and only the outcome is checked; natively the run ends before the lock does.
    HoldLogEnd(DefaultLog(), UnderWine() ? 120000 : 6000);
    testing_support::ProcessResult run = Run({}, kNoTz);
    EXPECT_EQ(run.exitStatus, 0);
    double took = std::chrono::duration<double>(run.elapsed).count();
    EXPECT_EQ(WaitForMarkers({"setup"}), std::vector<std::string>{"setup"});
    // Four refused tries, each followed by a one-second wait.
    EXPECT_GE(took, 3.9);
    if (!UnderWine()) {
        EXPECT_LT(took, 5.9);
    }
    std::remove(LockHeldFile().c_str());
    holder_.join();
    EXPECT_EQ(ReadFile(DefaultLog()), "x\r\n");
}

// The test writer's log grows between its first length read and its lock (length_read_seam.h),
// and a rival then holds the new end: the writer must let go of the old end, wait for the new
// end rather than write, and keep no byte locked once its line is in.
TEST_F(InstallLog, AWriterWhoseEndMovedWaitsForTheNewEndAndKeepsNoLock)
{
    const std::string log = Native("shared.log");
    testing_support::WriteFile(log, "earlier line\r\n");
    ASSERT_EQ(mkdir(Native("handshake").c_str(), 0777), 0);
    int status = -1;
    std::thread writer([&] {
        status = RunTool("log_writer",
                         {Visible("shared.log"), "moved", "1", "moved-end", Visible("handshake")})
                     .exitStatus;
    });
    if (WaitForFile(Native("handshake/grown"))) {
        const std::string grown = ReadFile(log);
        HoldLogEnd(log, 60000);
        testing_support::WriteFile(Native("handshake/rival"), "");
        // Time for a writer that ignores the moved end to write; a sound one only waits.
        std::this_thread::sleep_for(std::chrono::milliseconds(UnderWine() ? 1500 : 300));
        EXPECT_EQ(ReadFile(log), grown) << "written while a rival held the new end";
        EXPECT_TRUE(OthersCanLock(log, 0, static_cast<off_t>(grown.size())))
            << "the lock taken at the old end is still held";
        std::remove(LockHeldFile().c_str());
        holder_.join();
        EXPECT_TRUE(WaitForFile(Native("handshake/written")));
        std::string content = ReadFile(log);
        ASSERT_GE(content.size(), grown.size());
        EXPECT_EQ(content.substr(0, grown.size()), grown);
        EXPECT_TRUE(std::regex_match(content.substr(grown.size()),
                                     LongLine("[A-Z]{0,3}", "moved-line0")))
            << content.substr(grown.size());
        EXPECT_TRUE(OthersCanLock(log, 0, 0)) << "a byte range stays locked after the line";
    } else {
        ADD_FAILURE() << "the writer never read the log's length";
    }
    testing_support::WriteFile(Native("handshake/exit"), "");
    writer.join();
    EXPECT_EQ(status, 0);
}

// Each length read of the test writer lasts 30 ms more, as a sleep does at a coarse timer
// resolution. Waits measured in time poll about twenty times a second; waits counted in 20 ms
// sleeps would poll fifty times each whatever they last.
TEST_F(InstallLog, TheLockWaitIsMeasuredInTimeNotInSleeps)
{
    const std::string log = Native("shared.log");
    testing_support::WriteFile(log, "x\r\n");
    HoldLogEnd(log, 120000);
    testing_support::ProcessResult run = RunTool("log_writer", {Visible("shared.log"), "slow", "1",
                                                                "slow-reads"});
    std::remove(LockHeldFile().c_str());
    holder_.join();
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(ReadFile(log), "x\r\n");  // given up
    std::smatch reads;
    ASSERT_TRUE(std::regex_search(run.output, reads, std::regex("length reads: ([0-9]+)")))
        << run.output;
    // Four tries, each followed by polls for about a second: at most 4 x (1 + 21).
    int count = std::stoi(reads[1]);
    EXPECT_GE(count, 8);
    EXPECT_LE(count, 4 * 22);
}

TEST_F(InstallLog, AnUnreachableLogStopsNothing)
{
    WriteDueEntry();
    EXPECT_EQ(Run({"/log=" + Visible("nosuchfolder/deeper/Quorvel.log")}).exitStatus, 0);
    EXPECT_EQ(WaitForMarkers({"setup"}), std::vector<std::string>{"setup"});
    EXPECT_FALSE(FileExists(Native("nosuchfolder")));
    EXPECT_FALSE(FileExists(DefaultLog()));
}

// A new log takes its folder's read and write bits, so every user who may write a shared log
// folder (world- or group-writable) may write a log that another user made there, and a log
// in a private folder stays private. The second user is "nobody", run through setpriv.
TEST_F(InstallLog, ASecondUsersLineReachesASharedLogButNotAPrivateOne)
{
    if (UnderWine()) {
        GTEST_SKIP() << "on Windows a new file's permissions come from its folder's own rights";
    }
    const passwd* nobody = getpwnam("nobody");
    if (geteuid() != 0 || nobody == nullptr) {
        GTEST_SKIP() << "needs root and a user named nobody to run as a second user";
    }
    const std::vector<std::string> asNobody{"setpriv", "--reuid=" + std::to_string(nobody->pw_uid),
                                            "--regid=" + std::to_string(nobody->pw_gid),
                                            "--clear-groups"};
    chmod(Native("").c_str(), 0755);  // the second user must reach the program and settings
    WriteSettingsFile(SettingsText({{"Word", Visible("master.exe"), Visible("installed.exe"),
                                     "true"}}));
    std::vector<std::string> probe = asNobody;
    probe.insert(probe.end(), {"test", "-r", BesideProgram("Quorvel.ini")});
    if (testing_support::RunProcess(probe).exitStatus != 0) {
        GTEST_SKIP() << "nobody cannot reach the temporary folder " << Native("");
    }
    struct Folder {
        const char* name;
        mode_t mode;
        mode_t logMode;
        size_t lines;
    };
    // Every folder belongs to the second user's group; only the group-writable one lets the
    // group write, and its set-group-ID bit gives the log that group.
    for (const Folder& folder : {Folder{"world", 01777, 0666, 2}, Folder{"group", 02775, 0664, 2},
                                 Folder{"private", 0755, 0644, 1}}) {
        mkdir(Native(folder.name).c_str(), 0700);
        ASSERT_EQ(chown(Native(folder.name).c_str(), 0, nobody->pw_gid), 0);
        chmod(Native(folder.name).c_str(), folder.mode);
        const std::string logSwitch = "/log=" + Native(std::string(folder.name) + "/Quorvel.log");
        EXPECT_EQ(Run({logSwitch}, kNoTz).exitStatus, 0);
        std::vector<std::string> second = asNobody;
        second.insert(second.end(), {VisibleProgramPath(), logSwitch});
        EXPECT_EQ(testing_support::RunProcess(second, {}, Native("")).exitStatus, 0);

        const std::string log = Native(std::string(folder.name) + "/Quorvel.log");
        struct stat status {};
        ASSERT_EQ(stat(log.c_str(), &status), 0) << folder.name;
        EXPECT_EQ(status.st_mode & 07777, folder.logMode) << folder.name;
        std::vector<std::string> lines = Lines(ReadFile(log));
        ASSERT_EQ(lines.size(), folder.lines) << folder.name << ": " << ReadFile(log);
        EXPECT_EQ(lines.back().find("user nobody)") != std::string::npos, folder.lines == 2)
            << folder.name << ": " << lines.back();
    }
}

// What another user of the workstation may leave in the log's place: a link (to a file of
// someone else's, or to nowhere), a second name of someone else's file, a FIFO with or without
// a reader, a terminal, a folder. The run writes to none of them, never waits on one, and
// still starts its setups.
TEST_F(InstallLog, ALogThatIsNoPlainFileOfOneNameGetsNoLineAndBlocksNothing)
{
    const std::string victim = Native("victim");
    testing_support::WriteFile(victim, "private\n");
    chmod(victim.c_str(), 0600);
    int reader = -1;
    // Wine 8 shows a POSIX link as the file it leads to and cannot make a reparse point
    // (FSCTL_SET_REPARSE_POINT: not supported), so there only the second name and the folder
    // can be tried; the Windows build refuses a reparse point by its attributes.
    const std::vector<std::string> underWine{"hardlink", "folder"};
    int terminal = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(grantpt(terminal), 0);
    ASSERT_EQ(unlockpt(terminal), 0);
    const std::string terminalPath = ptsname(terminal);
    struct Case {
        const char* name;
        std::function<std::string(const std::string&)> make;  // gives the log path to use
    };
    const std::vector<Case> cases{
        {"link",
         [&](const std::string& log) { return Made(symlink(victim.c_str(), log.c_str()), log); }},
        {"dangling",
         [&](const std::string& log) {
             return Made(symlink(Native("nowhere").c_str(), log.c_str()), log);
         }},
        {"hardlink",
         [&](const std::string& log) { return Made(link(victim.c_str(), log.c_str()), log); }},
        {"fifo", [&](const std::string& log) { return Made(mkfifo(log.c_str(), 0666), log); }},
        {"read-fifo",
         [&](const std::string& log) {
             if (mkfifo(log.c_str(), 0666) != 0) {
                 return std::string();
             }
             reader = open(log.c_str(), O_RDONLY | O_NONBLOCK);
             return reader >= 0 ? log : "";
         }},
        {"terminal", [&](const std::string&) { return terminalPath; }},
        {"folder", [&](const std::string& log) { return Made(mkdir(log.c_str(), 0777), log); }},
    };
    std::vector<std::string> started;  // the markers every case so far should have left
    for (const Case& each : cases) {
        const std::string label = each.name;
        if (UnderWine() &&
            std::find(underWine.begin(), underWine.end(), label) == underWine.end()) {
            continue;
        }
        std::string log = each.make(Native(label + ".log"));
        ASSERT_FALSE(log.empty()) << label;
        WriteSettingsFile(SettingsText(
            {{"One", Visible("master.exe"), Visible("one.exe"), MarkerCommand(label + "1")},
             {"Two", Visible("master.exe"), Visible("two.exe"), MarkerCommand(label + "2")}}));
        log = UnderWine() ? Visible(label + ".log") : log;
        testing_support::ProcessResult run = Run({"/log=" + log}, kNoTz);
        EXPECT_EQ(run.exitStatus, 0) << label;
        if (!UnderWine()) {  // Wine's start-up alone may take longer
            EXPECT_LT(std::chrono::duration<double>(run.elapsed).count(), 3.0) << label;
        }
        started.insert(started.end(), {label + "1", label + "2"});
        std::sort(started.begin(), started.end());
        EXPECT_EQ(WaitForMarkers(started), started) << label;
        EXPECT_EQ(ReadFile(victim), "private\n") << label;
        EXPECT_FALSE(FileExists(Native("nowhere"))) << label;
    }
    char got[64];
    EXPECT_LE(read(reader, got, sizeof got), 0) << "a line went into the FIFO";
    EXPECT_LE(read(terminal, got, sizeof got), 0) << "a line went to the terminal";
    close(reader);
    close(terminal);
}

// Another user who may only read the log holds a read lock from its end on: the pass waits
// for the lock as long as one line may in all, however many lines it has, and every setup
// still starts.
TEST_F(InstallLog, ALockKeptByAnotherUserHoldsThePassBackByOneLinesWaitInAll)
{
    std::vector<std::string> holder{QUORVEL_LOCK_HOLDER};
    const passwd* nobody = getpwnam("nobody");
    if (!UnderWine() && geteuid() == 0 && nobody != nullptr) {
        holder = {"setpriv", "--reuid=" + std::to_string(nobody->pw_uid),
                  "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups",
                  QUORVEL_LOCK_HOLDER};
        chmod(Native("").c_str(), 0755);
    }
    testing_support::WriteFile(DefaultLog(), "x\r\n");
    chmod(DefaultLog().c_str(), 0644);
    mkdir(Native("holder").c_str(), 0777);
    chmod(Native("holder").c_str(), 0777);
    const std::string ready = Native("holder/ready");
    holder.insert(holder.end(), {DefaultLog(), "60000", ready});
    holder_ = std::thread([=] { testing_support::RunProcess(holder); });
    ASSERT_TRUE(WaitForFile(ready)) << "the lock holder did not start";

    std::vector<AppEntry> entries;
    std::vector<std::string> markers;
    for (int i = 1; i <= 5; ++i) {
        const std::string n = std::to_string(i);
        entries.push_back({"App" + n, Visible("master.exe"), Visible("installed" + n + ".exe"),
                           MarkerCommand("m" + n)});
        markers.push_back("m" + n);
    }
    WriteSettingsFile(SettingsText(entries));
    testing_support::ProcessResult run = Run({}, kNoTz);
    double took = std::chrono::duration<double>(run.elapsed).count();
    std::remove(ready.c_str());
    holder_.join();
    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(WaitForMarkers(markers), markers);
    EXPECT_GE(took, 3.9);
    if (!UnderWine()) {
        EXPECT_LT(took, 6.0);  // five lines of four seconds each would take twenty
    }
    EXPECT_EQ(ReadFile(DefaultLog()), "x\r\n");
}

TEST_F(InstallLog, SixteenRunsAtOnceWriteSixteenWholeLines)
{
    constexpr int kRuns = 16;
    WriteDueEntry();
    std::vector<int> statuses(kRuns, -1);
    std::vector<std::thread> runs;
    for (int i = 0; i < kRuns; ++i) {
        runs.emplace_back([&, i] { statuses[static_cast<size_t>(i)] = Run({}, kNoTz).exitStatus; });
    }
    for (std::thread& run : runs) {
        run.join();
    }
    EXPECT_EQ(statuses, std::vector<int>(kRuns, 0));
    std::vector<std::string> lines = Lines(ReadFile(DefaultLog()));
    EXPECT_EQ(lines.size(), static_cast<size_t>(kRuns));
    for (const std::string& line : lines) {
        EXPECT_TRUE(std::regex_match(line, LongLine("", "Word"))) << line;
    }
}

}  // namespace
}  // namespace system_tests
