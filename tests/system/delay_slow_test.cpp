// The start delay on the real clock: Delay=1 holds the pass back one minute, and the program
// sleeps through it rather than spinning.
#include <sys/resource.h>

#include "system/system_fixture.h"

namespace system_tests {
namespace {

std::chrono::microseconds ChildCpuTime()
{
    struct rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = static_cast<long long>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec);
    auto micros = static_cast<long long>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    return std::chrono::microseconds(seconds * 1000000 + micros);
}

class DelaySlow : public SystemTest {};

TEST_F(DelaySlow, OneMinuteDelayStartsTheSetupAfterAMinuteWithTheCpuIdle)
{
    WriteVersionedPe(Native("master.exe"), {0x00010000, 0, 0x00010000, 0});
    WriteSettingsFile(SettingsText({{"Delayed", Visible("master.exe"), Visible("installed.exe"),
                                     MarkerCommand("late")}},
                                   "Delay=1\r\n"));

    std::chrono::microseconds cpuBefore = ChildCpuTime();
    testing_support::ProcessResult run = Run({"/log-"});
    EXPECT_EQ(run.exitStatus, 0);
    std::chrono::microseconds cpuUsed = ChildCpuTime() - cpuBefore;

    // The setup program is started at the end of the run, once the minute has passed.
    EXPECT_GE(run.elapsed, std::chrono::seconds(60));
    EXPECT_LE(run.elapsed, std::chrono::seconds(65));
    EXPECT_EQ(WaitForMarkers({"late"}), std::vector<std::string>{"late"});
    EXPECT_LT(cpuUsed, std::chrono::seconds(1)) << cpuUsed.count() << " us of CPU";
}

}  // namespace
}  // namespace system_tests
