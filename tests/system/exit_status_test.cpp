// Exit statuses of whole runs: refused lines give 1, complete passes and stopped waits 0,
// running out of memory 2.
#include <signal.h>

#include <fstream>
#include <thread>

#include "support/pe_fixture.h"
#include "system/system_fixture.h"

namespace system_tests {
namespace {

// Waits (boundedly) until the process catches `signal`, as its status in /proc shows.
void AwaitCaught(int pid, int signal)
{
    for (int i = 0; i < 1000; ++i) {
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("SigCgt:", 0) == 0 &&
                (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1) & 1) != 0) {
                return;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ADD_FAILURE() << "signal " << signal << " never caught";
}

class ExitStatus : public SystemTest {};

TEST_F(ExitStatus, RefusedCommandTailsExitWithOne)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"/ini"}, {"/ini="}, {"/x"}, {"setup"}, {"/"}, {"/log", "/bogus"}}) {
        EXPECT_EQ(Run(args).exitStatus, 1) << args.back();
    }
}

TEST_F(ExitStatus, CompletePassesExitWithZero)
{
    EXPECT_EQ(Run({}).exitStatus, 0);
    EXPECT_EQ(Run({"/LOG-"}).exitStatus, 0);
    EXPECT_EQ(Run({"/ini=" + Visible("some dir/a.ini")}).exitStatus, 0);
}

TEST_F(ExitStatus, RefusedOptionsFileLineStopsTheRunBeforeTheLogIsOpened)
{
    WriteOptionsFile("/log\r\n/nonsense\r\n");
    EXPECT_EQ(Run({}).exitStatus, 1);
    EXPECT_FALSE(testing_support::FileExists(DefaultLog()));
}

// A request to stop during either wait: on POSIX the session's stop signals, under Wine a close
// request to the program's hidden window. A spread of an hour is all but sure to last until the
// request comes (a draw under two seconds is a chance in 1,800).
TEST_F(ExitStatus, AStopRequestDuringTheDelayOrTheSpreadEndsTheRunWithZeroAndExaminesNothing)
{
    WriteVersionedPe(Native("master.exe"), {0x00010000, 0, 0x00010000, 0});
    const std::vector<int> requests = UnderWine() ? std::vector<int>{0}
                                                  : std::vector<int>{SIGTERM, SIGHUP, SIGINT};
    for (const char* wait : {"Delay=1\r\n", "SpreadSeconds=3600\r\n"}) {
        WriteSettingsFile(SettingsText({{"Due", Visible("master.exe"), Visible("installed.exe"),
                                         MarkerCommand("due")}},
                                       wait));
        for (int signal : requests) {
            SCOPED_TRACE(std::string(wait) + " " + std::to_string(signal));
            testing_support::ProcessResult run = Run({}, {}, [&](int pid) {
                if (UnderWine()) {
                    EXPECT_EQ(RunTool("close_window",
                                      {"Brindlemar:Quorvel:Delay", VisibleProgramPath()})
                                  .exitStatus,
                              0);
                    return;
                }
                AwaitCaught(pid, signal);
                kill(pid, signal);
            });
            EXPECT_EQ(run.exitStatus, 0);
            EXPECT_LT(run.elapsed, std::chrono::seconds(30));  // not the minute of the delay
            // The log was opened before the wait and got no line.
            EXPECT_TRUE(testing_support::FileExists(DefaultLog()));
            EXPECT_EQ(testing_support::ReadFile(DefaultLog()), "");
        }
    }
    EXPECT_EQ(MarkersAfterGrace(), std::vector<std::string>{});
}

TEST_F(ExitStatus, RunningOutOfMemoryEndsTheRunQuietlyWithTwo)
{
    if (UnderWine()) {
        GTEST_SKIP() << "allocation failures are injected by preloading a POSIX library";
    }
    WriteSettingsFile(SettingsText({{"Due", Visible("m"), Visible("i"), MarkerCommand("due")}}));
    testing_support::ProcessResult run = Run({}, {{"LD_PRELOAD", QUORVEL_THROWING_NEW}});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_EQ(run.output, "");
    EXPECT_TRUE(MarkersAfterGrace().empty());
}

}  // namespace
}  // namespace system_tests
