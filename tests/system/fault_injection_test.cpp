// Whole runs in which one call of a file operation fails, each call in turn, by libfiu's POSIX
// wrappers and a small preload that picks the call (tests/tools/fail_at_call.c): the WIN.INI
// stays old or becomes new, the log keeps whole lines and lets go of its lock, the setup
// program still starts, and no read failure crashes the run. The Windows build under Wine
// does not go through these wrappers, so these runs are POSIX only.
#include <sys/stat.h>
#include <sys/time.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <regex>
#include <sstream>

#include "support/pe_fixture.h"
#include "system/system_fixture.h"

namespace system_tests {
namespace {

namespace fs = std::filesystem;
using testing_support::ProcessResult;
using testing_support::ReadFile;
using testing_support::WriteFile;

const int kErrors[] = {ENOSPC, EIO, EACCES};
const char kOpen[] = "posix/io/oc/open";
const char kRead[] = "posix/io/rw/read";
const char kPread[] = "posix/io/rw/pread";
const char kWrite[] = "posix/io/rw/write";
const char kFsync[] = "posix/io/sync/fsync";
const char kRename[] = "posix/io/dir/rename";
// The log is a C runtime stream: its line leaves through these, not through a wrapped write().
const char kStreamWrite[] = "posix/stdio/rw/fwrite";
const char kStreamFlush[] = "posix/stdio/fflush";
const char kOldLogLine[] = "Sat, 05 Dec 2026 08:00:00 GMT - Earlier (\\\\WS001, user bob)\r\n";

class FaultInjection : public SystemTest {
protected:
    explicit FaultInjection(bool throughLibfiu = true) : throughLibfiu_(throughLibfiu) {}

    void SetUp() override
    {
        if (!throughLibfiu_) {
            return;
        }
        if (UnderWine()) {
            GTEST_SKIP() << "libfiu wraps the POSIX calls of the POSIX build only";
        }
        ASSERT_NE(std::string(QUORVEL_FAULT_PRELOAD), "") << "libfiu was not found when built";
    }

    // One run with call `at` of `point` failing with `error` (at 0: no failure); `calls`
    // receives how many calls of the point the run made.
    ProcessResult RunFaulted(const std::vector<std::string>& args, const std::string& point,
                             unsigned at, int error, unsigned* calls = nullptr) const
    {
        fs::remove(Native("calls"));
        ProcessResult result = Run(args, {{"LD_PRELOAD", QUORVEL_FAULT_PRELOAD},
                                          {"QUORVEL_FAULT_POINT", point},
                                          {"QUORVEL_FAULT_AT", std::to_string(at)},
                                          {"QUORVEL_FAULT_ERRNO", std::to_string(error)},
                                          {"QUORVEL_FAULT_COUNT", Native("calls")}});
        if (calls != nullptr) {
            *calls = static_cast<unsigned>(std::stoul("0" + ReadFile(Native("calls"))));
        }
        return result;
    }

    // Fails every call of every point in turn, with each error, after `prepare` has set the
    // files up afresh, and hands each run to `check`. Returns the failures made per point.
    std::map<std::string, unsigned> FailEachCall(
        const std::vector<std::string>& points, const std::vector<std::string>& args,
        const std::function<void()>& prepare,
        const std::function<void(const std::string&, const ProcessResult&)>& check) const
    {
        std::map<std::string, unsigned> made;
        for (const std::string& point : points) {
            unsigned calls = 0;
            prepare();
            RunFaulted(args, point, 0, 0, &calls);
            for (unsigned at = 1; at <= calls; ++at) {
                for (int error : kErrors) {
                    SCOPED_TRACE(point + " call " + std::to_string(at) + ": " +
                                 std::strerror(error));
                    prepare();
                    ProcessResult result = RunFaulted(args, point, at, error);
                    // Never a crash: the exit status is 0 or, for a refused line, 1.
                    EXPECT_TRUE(result.exitStatus == 0 || result.exitStatus == 1)
                        << "exit status " << result.exitStatus << ": " << result.output;
                    check(point, result);
                    ++made[point];
                }
            }
        }
        return made;
    }

    // A marker label of its own for every run, so that a setup program still finishing from
    // an earlier run never passes for this one's.
    std::string NextLabel() const { return label_ = "run" + std::to_string(++runs_); }
    const std::string& Label() const { return label_; }

    bool Started(const std::string& label) const
    {
        std::vector<std::string> present = WaitForMarkers({label});
        return std::find(present.begin(), present.end(), label) != present.end();
    }

private:
    bool throughLibfiu_;
    mutable int runs_ = 0;
    mutable std::string label_;
};

// The lines a log gained after `before`: whole lines only, each ending in CR LF.
int NewWholeLines(const std::string& before, const std::string& after)
{
    if (after.compare(0, before.size(), before) != 0) {
        ADD_FAILURE() << "the log lost what it held:\n" << after;
        return -1;
    }
    std::string added = after.substr(before.size());
    static const std::regex line(R"((?:[^\r\n]+ - [^\r\n]+ \(\\\\[^\r\n]+\)\r\n)*)");
    EXPECT_TRUE(std::regex_match(added, line)) << "not whole lines: " << added;
    int count = 0;
    for (size_t at = added.find("\r\n"); at != std::string::npos; at = added.find("\r\n", at + 2)) {
        ++count;
    }
    return count;
}

// Every byte-range lock the traced program was granted was released again.
void ExpectEveryLockReleased(const std::string& trace)
{
    static const std::regex lockCall(
        R"(F_SETLK, \{l_type=(F_WRLCK|F_UNLCK), l_whence=SEEK_SET, l_start=(\d+), l_len=(\d+)\}\) = 0)");
    std::map<std::string, int> held;
    int granted = 0;
    for (std::sregex_iterator it(trace.begin(), trace.end(), lockCall), end; it != end; ++it) {
        std::string region = (*it)[2].str() + "+" + (*it)[3].str();
        if ((*it)[1] == "F_WRLCK") {
            ++held[region];
            ++granted;
        } else {
            --held[region];
        }
    }
    EXPECT_GT(granted, 0) << trace;
    for (const auto& [region, count] : held) {
        EXPECT_EQ(count, 0) << "lock on " << region << " not released:\n" << trace;
    }
}

// Every file under a folder, by its path inside it, with its content.
std::map<std::string, std::string> FilesUnder(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), folder).string()] = ReadFile(entry.path().string());
        }
    }
    return files;
}

// Registration replaces WIN.INI (and writes what else it writes under ~/.config): every file
// there is afterwards as it was or as a run without faults leaves it, and no other file (a
// temporary one) is there.
TEST_F(FaultInjection, WinIniIsOldOrWhollyNewAndNoTemporaryFileIsLeft)
{
    const std::string config = Native("home/.config");
    const std::string old =
        "; kept\r\n[windows]\r\nload=x\r\nrun=/opt/other/tool\r\n[fonts]\r\na=b\r\n";
    auto prepare = [&] {
        fs::remove_all(config);
        fs::create_directories(config);
        WriteFile(config + "/win.ini", old);
    };
    RunAsOrdinaryUser();  // registration writes nothing as root
    prepare();
    const std::map<std::string, std::string> before = FilesUnder(config);
    ASSERT_EQ(Run({"/install"}).exitStatus, 0);
    const std::map<std::string, std::string> after = FilesUnder(config);
    ASSERT_NE(after.at("win.ini"), old);

    auto made = FailEachCall({kOpen, kRead, kWrite, kFsync, kRename}, {"/install"}, prepare,
                             [&](const std::string&, const ProcessResult& result) {
                                 EXPECT_EQ(result.exitStatus, 0);
                                 for (const auto& [name, content] : FilesUnder(config)) {
                                     const bool asBefore = before.count(name) &&
                                                           before.at(name) == content;
                                     const bool asAfter = after.count(name) &&
                                                          after.at(name) == content;
                                     EXPECT_TRUE(asBefore || asAfter) << name << " holds:\n"
                                                                      << content;
                                 }
                             });
    for (const char* point : {kOpen, kRead, kWrite, kFsync, kRename}) {
        EXPECT_GT(made[point], 0u) << point << " was never reached";
    }
}

class LogFaults : public FaultInjection {
protected:
    explicit LogFaults(bool throughLibfiu = true) : FaultInjection(throughLibfiu) {}

    void SetUp() override
    {
        FaultInjection::SetUp();
        if (IsSkipped()) {
            return;
        }
        WriteFile(Native("master.txt"), "master");
    }
    void Prepare() const
    {
        WriteFile(Native("shared.log"), kOldLogLine);
        WriteSettingsFile(SettingsText({{"Notes", Visible("master.txt"), Visible("installed.txt"),
                                         MarkerCommand(NextLabel())}}));
    }
    std::vector<std::string> Args() const { return {"/log=" + Visible("shared.log")}; }
};

TEST_F(LogFaults, TheLogKeepsWholeLinesAndTheSetupStillStarts)
{
    auto made = FailEachCall(
        {kOpen, kRead, kStreamWrite, kStreamFlush}, Args(), [&] { Prepare(); },
        [&](const std::string& point, const ProcessResult&) {
            int added = NewWholeLines(kOldLogLine, ReadFile(Native("shared.log")));
            EXPECT_LE(added, 1);
            if (added == 1 || point == kStreamWrite || point == kStreamFlush) {
                EXPECT_TRUE(Started(Label()));  // a failed line never keeps the setup back
            }
        });
    EXPECT_GT(made[kStreamWrite], 0u);
    EXPECT_GT(made[kStreamFlush], 0u);
}

// A write the file system cuts short part way through the line (the file may grow no further:
// the kernel writes what fits, then refuses): the piece is cut back off while the lock is still
// held, the lock is released, and the setup still starts. Both builds: the size limit needs no
// libfiu. On POSIX, strace shows the cut and the locks; under Wine both happen in wineserver.
class CutShortLine : public LogFaults {
protected:
    CutShortLine() : LogFaults(false) {}
};

TEST_F(CutShortLine, IsUndoneAndItsLockReleased)
{
    Prepare();
    const size_t limit = std::strlen(kOldLogLine) + 10;
    const std::string trace = UnderWine() ? "" : "strace -e trace=fcntl,ftruncate ";
    ProcessResult result = RunWrapped({"sh", "-c",
                                       "trap '' XFSZ; exec prlimit --fsize=" +
                                           std::to_string(limit) + " -- " + trace + "\"$@\"",
                                       "sh"},
                                      Args());
    EXPECT_EQ(result.exitStatus, 0) << result.output;
    EXPECT_EQ(ReadFile(Native("shared.log")), kOldLogLine);
    if (!UnderWine()) {
        EXPECT_NE(result.output.find("ftruncate("), std::string::npos) << result.output;
        ExpectEveryLockReleased(result.output);
    }
    EXPECT_TRUE(Started(Label()));
}

TEST_F(LogFaults, AFailedFlushReleasesTheLock)
{
    Prepare();
    unsigned calls = 0;
    RunFaulted(Args(), kStreamFlush, 0, 0, &calls);
    ASSERT_GT(calls, 0u);
    for (unsigned at = 1; at <= calls; ++at) {
        Prepare();
        ProcessResult result = RunWrapped({"strace", "-e", "trace=fcntl"}, Args(),
                                          {{"LD_PRELOAD", QUORVEL_FAULT_PRELOAD},
                                           {"QUORVEL_FAULT_POINT", kStreamFlush},
                                           {"QUORVEL_FAULT_AT", std::to_string(at)},
                                           {"QUORVEL_FAULT_ERRNO", std::to_string(EIO)}});
        EXPECT_EQ(result.exitStatus, 0) << result.output;
        ExpectEveryLockReleased(result.output);
    }
}

// Source has the higher version but the older date: versions read on both files make the
// entry due, a version read that fails falls back to the dates and skips it. (A failed read of
// one resource directory entry may still find the block by another route, so a failed pread
// may end either way; what it never does is crash or log a launch that did not happen.)
TEST_F(FaultInjection, AFailedVersionReadFallsBackToTheDates)
{
    using testing_support::WritePeWithVersion;
    WritePeWithVersion(Native("master.exe"), {0x00010001, 0, 0x00010001, 0});
    WritePeWithVersion(Native("installed.exe"), {0x00010000, 0, 0x00010000, 0});
    struct timeval older[2] = {{1780000000, 0}, {1780000000, 0}};
    struct timeval newer[2] = {{1780090000, 0}, {1780090000, 0}};
    ASSERT_EQ(utimes(Native("master.exe").c_str(), older), 0);
    ASSERT_EQ(utimes(Native("installed.exe").c_str(), newer), 0);
    const std::vector<std::string> args{"/log=" + Visible("shared.log")};
    auto prepare = [&] {
        WriteFile(Native("shared.log"), "");
        WriteSettingsFile(SettingsText({{"Tool", Visible("master.exe"), Visible("installed.exe"),
                                         MarkerCommand(NextLabel())}}));
    };
    prepare();
    ASSERT_EQ(Run(args).exitStatus, 0);
    ASSERT_TRUE(Started(Label()));  // both versions read: due

    int skipped = 0;
    auto made = FailEachCall({kOpen, kPread}, args, prepare,
                             [&](const std::string& point, const ProcessResult& result) {
                                 EXPECT_EQ(result.exitStatus, 0);
                                 int added = NewWholeLines("", ReadFile(Native("shared.log")));
                                 EXPECT_LE(added, 1);
                                 if (added == 1) {
                                     EXPECT_TRUE(Started(Label()));
                                 } else if (point == kPread) {
                                     ++skipped;
                                 }
                             });
    EXPECT_GT(skipped, 0) << "no failed version read fell back to the dates";
    EXPECT_GT(made[kPread], 0u);
}

// The options file names the log and the settings file; a failed open or read makes it read
// as absent or cut, which may refuse a cut line (exit status 1) but never crashes.
TEST_F(FaultInjection, FailedOptionAndSettingsReadsActAsAbsentOrCut)
{
    WriteFile(Native("master.txt"), "master");
    WriteOptionsFile("/log=\"" + Visible("shared.log") + "\"\r\n/ini=\"" + Visible("settings.ini") +
                     "\"\r\n");
    auto prepare = [&] {
        WriteFile(Native("shared.log"), "");
        fs::remove(DefaultLog());
        WriteFile(Native("settings.ini"),
                  SettingsText({{"Notes", Visible("master.txt"), Visible("installed.txt"),
                                 MarkerCommand(NextLabel())}}));
    };
    prepare();
    ASSERT_EQ(Run({}).exitStatus, 0);
    ASSERT_TRUE(Started(Label()));

    auto made = FailEachCall({kOpen, kRead}, {}, prepare,
                             [&](const std::string&, const ProcessResult& result) {
                                 int added = NewWholeLines("", ReadFile(Native("shared.log"))) +
                                             NewWholeLines("", ReadFile(DefaultLog()));
                                 EXPECT_LE(added, 1);
                                 if (result.exitStatus == 1) {
                                     EXPECT_EQ(added, 0) << "a refused line still ran the entries";
                                 }
                                 if (added == 1) {
                                     EXPECT_TRUE(Started(Label()));
                                 }
                             });
    EXPECT_GT(made[kRead], 0u);
}

}  // namespace
}  // namespace system_tests
