// The run driver around the delay: when it waits, and what a stop request during the wait
// does to the pass. Timers run on a virtual clock, so a minute passes at once.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "support/virtual_timer_clock.h"
#include "support/window_inspect.h"
#include "platform/win32.h"
#include "run/run_driver.h"
#include "support/test_support.h"
#include "update/delay_wait.h"

namespace {

using posix_platform::VirtualTimerClock;
using testing_support::FileExists;
using testing_support::TempDir;
using testing_support::WriteFile;

class RunDelay : public ::testing::Test {
protected:
    void SetUp() override { posix_platform::SetTimerClock(&clock_); }
    void TearDown() override
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        posix_platform::SetTimerClock(nullptr);
    }

    // Runs a pass over a settings file with one due entry that leaves a file when started.
    int RunWithDelayLine(const std::string& delayLine)
    {
        WriteFile(dir_ / "Quorvel.ini",
                  "[Quorvel]\nCount=1\n" + delayLine + "\n[App1]\nName=A\nSource=" +
                      (dir_ / "master") + "\nDestination=" + (dir_ / "absent") +
                      "\nSetupApp=/bin/touch " + Started() + "\n");
        return RunQuorvel(nullptr, ("/log- /ini=\"" + (dir_ / "Quorvel.ini") + "\"").c_str());
    }
    std::string Started() const { return dir_ / "started"; }
    bool SetupStarted() const
    {
        for (int i = 0; i < 100 && !FileExists(Started()); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return FileExists(Started());
    }

    VirtualTimerClock clock_{5000};
    TempDir dir_;
};

TEST_F(RunDelay, NoWindowWithoutADelayAndTheClassIsGoneAfterwards)
{
    for (const char* line : {"Delay=0", "", "Delay=abc"}) {
        SCOPED_TRACE(line);
        uint64_t start = clock_.NowMs();
        EXPECT_EQ(RunWithDelayLine(line), 0);
        EXPECT_EQ(clock_.waits(), 0u);
        EXPECT_EQ(clock_.NowMs(), start);
        EXPECT_TRUE(SetupStarted());
        std::remove(Started().c_str());
        // Unregistered at the end of the pass, so it can be registered again.
        ASSERT_NE(RegisterDelayClass(), 0);
        UnregisterDelayClass();
    }
}

TEST_F(RunDelay, ADelayOfOneMinuteHoldsThePassBackOneMinute)
{
    uint64_t start = clock_.NowMs();
    EXPECT_EQ(RunWithDelayLine("Delay=1"), 0);
    EXPECT_EQ(clock_.NowMs() - start, 60000u);
    EXPECT_TRUE(SetupStarted());
    EXPECT_EQ(posix_platform::CountLiveWindows(), 0u);
}

TEST_F(RunDelay, AClassThatCannotBeRegisteredMeansNoWait)
{
    ASSERT_NE(RegisterDelayClass(), 0);  // taken already, so the run's registration fails
    EXPECT_EQ(RunWithDelayLine("Delay=1"), 0);
    EXPECT_EQ(clock_.waits(), 0u);
    EXPECT_TRUE(SetupStarted());
    UnregisterDelayClass();
}

TEST_F(RunDelay, AQuitDuringTheWaitEndsTheRunWithoutExaminingEntries)
{
    PostMessageA(nullptr, WM_QUIT, 0, 0);
    EXPECT_EQ(RunWithDelayLine("Delay=5"), 0);
    EXPECT_FALSE(SetupStarted());
    EXPECT_EQ(posix_platform::CountLiveWindows(), 0u);
    ASSERT_NE(RegisterDelayClass(), 0);  // tidied up all the same
    UnregisterDelayClass();
}

}  // namespace
