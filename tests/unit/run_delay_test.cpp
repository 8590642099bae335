// The run driver around the delay and the spread: when it waits, how long, and what a stop
// request during a wait does to the pass. Timers run on a virtual clock, so a minute passes at
// once.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "core/spread_setting.h"
#include "platform/win32.h"
#include "run/run_driver.h"
#include "support/test_support.h"
#include "support/virtual_timer_clock.h"
#include "support/window_inspect.h"
#include "update/delay_wait.h"

namespace {

using posix::window::VirtualTimerClock;
using testing_support::FileExists;
using testing_support::TempDir;
using testing_support::WriteFile;

class RunDelay : public ::testing::Test {
protected:
    void SetUp() override { posix::window::SetTimerClock(&clock_); }
    void TearDown() override
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        posix::window::SetTimerClock(nullptr);
    }

    // Runs a pass over a settings file with one due entry that leaves a file when started.
    int RunWithDelayLine(const std::string& delayLine)
    {
        WriteFile(dir_ / "Quorvel.ini", "[Quorvel]\nCount=1\n" + delayLine +
                                            "\n[App1]\nName=A\nSource=" + (dir_ / "master") +
                                            "\nDestination=" + (dir_ / "absent") +
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
    for (const char* line : {"Delay=0", "", "Delay=abc", "SpreadSeconds=0", "SpreadSeconds=x"}) {
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
    EXPECT_EQ(posix::window::CountLiveWindows(), 0u);
}

TEST_F(RunDelay, AClassThatCannotBeRegisteredMeansNoWait)
{
    ASSERT_NE(RegisterDelayClass(), 0);  // taken already, so the run's registration fails
    EXPECT_EQ(RunWithDelayLine("Delay=1"), 0);
    EXPECT_EQ(clock_.waits(), 0u);
    EXPECT_TRUE(SetupStarted());
    UnregisterDelayClass();
}

TEST_F(RunDelay, ASpreadWaitsADrawnTimeBelowItsRangeAfterTheDelay)
{
    const struct {
        const char* lines;
        uint64_t fromMs;
        uint64_t belowMs;
    } rows[] = {
        {"SpreadSeconds=2", 0, 2000},
        {"SpreadSeconds=1\nDelay=1", 60000, 61000},
        {"SpreadSeconds=-1", 0, 3600000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.lines);
        uint64_t start = clock_.NowMs();
        EXPECT_EQ(RunWithDelayLine(row.lines), 0);
        EXPECT_GE(clock_.NowMs() - start, row.fromMs);
        EXPECT_LT(clock_.NowMs() - start, row.belowMs);
        EXPECT_TRUE(SetupStarted());
        EXPECT_EQ(posix::window::CountLiveWindows(), 0u);
        std::remove(Started().c_str());
    }
}

TEST_F(RunDelay, AQuitDuringTheWaitEndsTheRunWithoutExaminingEntries)
{
    // A spread of an hour: a draw of 0, which would not wait at all, is a chance in millions.
    for (const char* line : {"Delay=5", "SpreadSeconds=3600"}) {
        SCOPED_TRACE(line);
        PostMessageA(nullptr, WM_QUIT, 0, 0);
        EXPECT_EQ(RunWithDelayLine(line), 0);
        EXPECT_FALSE(SetupStarted());
        EXPECT_EQ(posix::window::CountLiveWindows(), 0u);
        ASSERT_NE(RegisterDelayClass(), 0);  // tidied up all the same
        UnregisterDelayClass();
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
}

TEST(SpreadSetting, ReadsLikeDelayAndTakesAtMostAnHour)
{
    TempDir dir;
    const struct {
        const char* line;
        UINT written;
        UINT seconds;
    } rows[] = {
        {"", 0, 0},
        {"SpreadSeconds=0", 0, 0},
        {"SpreadSeconds=1", 1, 1},
        {"SpreadSeconds=3600", 3600, 3600},
        {"SpreadSeconds=3601", 3601, 3600},
        {"SpreadSeconds=-1", 4294967295u, 3600},
        {"SpreadSeconds=text", 0, 0},
    };
    for (const auto& row : rows) {
        WriteFile(dir / "q.ini", std::string("[Quorvel]\nDelay=2\n") + row.line + "\n");
        SpreadSetting setting = ReadSpreadSetting((dir / "q.ini").c_str());
        EXPECT_EQ(setting.written, row.written) << row.line;
        EXPECT_EQ(setting.seconds, row.seconds) << row.line;
    }
}

}  // namespace
