// Exit statuses of whole runs: refused lines give 1, complete passes and stopped delays 0,
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
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"/ini"}, {"/ini="}, {"/x"}, {"setup"}, {"/"},
                                                {"/log", "/bogus"}}) {
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

TEST_F(ExitStatus, AStopSignalDuringTheDelayEndsTheRunWithZeroAndExaminesNothing)
{
    if (UnderWine()) {
        GTEST_SKIP() << "POSIX signals";
    }
    testing_support::WritePeWithVersion(Native("master.exe"), {0x00010000, 0, 0x00010000, 0});
    WriteSettingsFile(SettingsText(
        {{"Due", Visible("master.exe"), Visible("installed.exe"), MarkerCommand("due")}},
        "Delay=1\r\n"));
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signal);
        testing_support::ProcessResult run = Run({}, {}, [signal](int pid) {
            AwaitCaught(pid, signal);
            kill(pid, signal);
        });
        EXPECT_EQ(run.exitStatus, 0);
        EXPECT_LT(run.elapsed, std::chrono::seconds(30));  // not the minute of the delay
        // The log was opened before the delay and got no line.
        EXPECT_TRUE(testing_support::FileExists(DefaultLog()));
        EXPECT_EQ(testing_support::ReadFile(DefaultLog()), "");
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
