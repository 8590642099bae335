// Many workstations appending to one log at the same moment: a log-on storm of whole runs,
// then many writers of many lines. Every line arrives, whole, exactly once.
#include <algorithm>
#include <atomic>
#include <iostream>
#include <regex>
#include <set>
#include <thread>

#include "system/system_fixture.h"

namespace system_tests {
namespace {

class ConcurrentWriters : public SystemTest {
protected:
    // The names the log's lines carry, each checked to be a whole line and to appear once.
    std::set<std::string> LoggedNames() const
    {
        const std::string content = testing_support::ReadFile(Native("shared.log"));
        const std::regex line(R"(\w{3}, \d\d \w{3} \d{4} \d\d:\d\d:\d\d [A-Z]{0,3} - )"
                              R"((\S+) \(\\\\[^,]+, user [^)]+\))");
        std::set<std::string> seen;
        size_t start = 0;
        while (start < content.size()) {
            size_t end = content.find("\r\n", start);
            if (end == std::string::npos) {
                ADD_FAILURE() << "a line without its end at byte " << start;
                break;
            }
            std::string text = content.substr(start, end - start);
            std::smatch match;
            if (!std::regex_match(text, match, line)) {
                ADD_FAILURE() << "torn line: " << text;
            } else {
                EXPECT_TRUE(seen.insert(match[1]).second) << "written twice: " << match[1];
            }
            start = end + 2;
        }
        return seen;
    }

    // Runs `count` jobs on threads released together; returns their exit statuses.
    template <typename Job>
    static std::vector<int> AllAtOnce(int count, Job job)
    {
        std::vector<int> statuses(static_cast<size_t>(count), -1);
        std::atomic<bool> go{false};
        std::vector<std::thread> threads;
        for (int i = 0; i < count; ++i) {
            threads.emplace_back([&, i] {
                while (!go.load()) {
                    std::this_thread::yield();
                }
                statuses[static_cast<size_t>(i)] = job(i);
            });
        }
        go = true;
        for (std::thread& thread : threads) {
            thread.join();
        }
        return statuses;
    }
};

// 64 workstations logging on at once, each with one entry due: every run logs its line and
// starts its setup program. The slowest run's time is printed, not checked.
TEST_F(ConcurrentWriters, SixtyFourRunsAtLogOnEachLogTheirLineOnce)
{
    constexpr int kRuns = 64;
    testing_support::WriteFile(Native("master.txt"), "master");
    std::set<std::string> expected;
    std::vector<std::string> markers;
    for (int i = 0; i < kRuns; ++i) {
        const std::string n = std::to_string(i);
        testing_support::WriteFile(Native("run" + n + ".ini"),
                                   SettingsText({{"run" + n, Visible("master.txt"),
                                                  Visible("installed.txt"),
                                                  MarkerCommand("r" + n)}}));
        expected.insert("run" + n);
        markers.push_back("r" + n);
    }
    std::vector<std::chrono::milliseconds> times(kRuns);
    std::vector<std::string> outputs(kRuns);
    std::vector<int> statuses = AllAtOnce(kRuns, [&](int i) {
        auto result = Run({"/ini=" + Visible("run" + std::to_string(i) + ".ini"),
                           "/log=" + Visible("shared.log")});
        times[static_cast<size_t>(i)] = result.elapsed;
        outputs[static_cast<size_t>(i)] = result.output;
        return result.exitStatus;
    });
    // The program writes nothing, so any output is the loader's or Wine's.
    std::string printed;
    for (const std::string& output : outputs) {
        printed += output;
    }
    EXPECT_EQ(statuses, std::vector<int>(kRuns, 0)) << printed;
    EXPECT_EQ(LoggedNames(), expected);
    std::sort(markers.begin(), markers.end());
    std::vector<std::string> started = WaitForMarkers(markers, std::chrono::seconds(60));
    EXPECT_EQ(started, markers);
    std::cout << "slowest of " << kRuns
              << " runs: " << std::max_element(times.begin(), times.end())->count() << " ms"
              << std::endl;
}

TEST_F(ConcurrentWriters, ThirtyTwoWritersOfFiftyLinesLoseAndTearNothing)
{
    constexpr int kWriters = 32;
    constexpr int kLines = 50;
    std::vector<int> statuses = AllAtOnce(kWriters, [&](int w) {
        return RunTool("log_writer",
                       {Visible("shared.log"), "w" + std::to_string(w), std::to_string(kLines)})
            .exitStatus;
    });
    EXPECT_EQ(statuses, std::vector<int>(kWriters, 0));
    std::set<std::string> expected;
    for (int w = 0; w < kWriters; ++w) {
        for (int i = 0; i < kLines; ++i) {
            expected.insert("w" + std::to_string(w) + "-line" + std::to_string(i));
        }
    }
    EXPECT_EQ(LoggedNames(), expected);
}

}  // namespace
}  // namespace system_tests
