// Writers on several workstations appending to one log at the same moment: every line
// arrives, whole, once.
#include <regex>
#include <set>
#include <thread>

#include "system/system_fixture.h"

namespace system_tests {
namespace {

class ConcurrentWriters : public SystemTest {};

TEST_F(ConcurrentWriters, EightWritersOfTwoHundredLinesLoseAndTearNothing)
{
    constexpr int kWriters = 8;
    constexpr int kLines = 200;
    std::vector<int> statuses(kWriters, -1);
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&, w] {
            statuses[static_cast<size_t>(w)] =
                RunTool("log_writer", {Visible("shared.log"), "w" + std::to_string(w),
                                       std::to_string(kLines)})
                    .exitStatus;
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    EXPECT_EQ(statuses, std::vector<int>(kWriters, 0));

    std::string content = testing_support::ReadFile(Native("shared.log"));
    const std::regex line(R"(\w{3}, \d\d \w{3} \d{4} \d\d:\d\d:\d\d [A-Z]{0,3} - )"
                          R"((w\d-line\d+) \(\\\\STRESS, user writer\))");
    std::set<std::string> seen;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "a line without its end at byte " << start;
        std::string text = content.substr(start, end - start);
        std::smatch match;
        ASSERT_TRUE(std::regex_match(text, match, line)) << "torn line: " << text;
        EXPECT_TRUE(seen.insert(match[1]).second) << "written twice: " << match[1];
        start = end + 2;
    }
    EXPECT_EQ(seen.size(), static_cast<size_t>(kWriters * kLines));
}

}  // namespace
}  // namespace system_tests
