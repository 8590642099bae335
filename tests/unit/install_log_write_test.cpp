// Opening, writing and closing the log in-process: the file, the line, the clock, the error
// mode; and many writer processes at once on one file.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/run_settings.h"
#include "support/test_support.h"
#include "update/install_log.h"
#include "update/log_timestamp.h"

namespace {

const char kDay[] = "(?:Sun|Mon|Tue|Wed|Thu|Fri|Sat)";
const char kMonth[] = "(?:Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)";

std::string StampPattern(const std::string& zone)
{
    return std::string(kDay) + ", [0-3][0-9] " + kMonth +
           " [0-9]{4} [0-2][0-9]:[0-5][0-9]:[0-5][0-9] " + zone;
}

// Sets TZ (or clears it, for nullptr) for one scope.
class TzScope : public testing_support::ScopedEnvironmentVariable {
public:
    explicit TzScope(const char* value) : ScopedEnvironmentVariable("TZ", value) {}
};

class InstallLog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRunSettings(nullptr);
        path_ = dir_ / "Quorvel.log";
        std::strcpy(gRunSettings.logPath, path_.c_str());
        std::strcpy(gRunSettings.computerName, "BOX");
        std::strcpy(gRunSettings.userName, "ann");
        gRunSettings.namesObtained = 1;
    }
    void TearDown() override { CloseInstallLog(); }

    std::string WriteOneLine(const char* name)
    {
        OpenInstallLog();
        WriteInstallLogLine(name);
        CloseInstallLog();
        return testing_support::ReadFile(path_);
    }

    testing_support::TempDir dir_;
    std::string path_;
};

TEST_F(InstallLog, OpenCreatesAnEmptyLogAndKeepsAnExistingOne)
{
    OpenInstallLog();
    ASSERT_NE(gRunSettings.logStream, nullptr);
    CloseInstallLog();
    EXPECT_EQ(gRunSettings.logStream, nullptr);
    EXPECT_TRUE(testing_support::FileExists(path_));
    EXPECT_EQ(testing_support::ReadFile(path_), "");

    const char oldBytes[] = "old\r\nbytes\0\xff\x1a no line end";
    std::string old(oldBytes, sizeof oldBytes - 1);
    testing_support::WriteFile(path_, old);
    std::string content = WriteOneLine("App");
    ASSERT_GT(content.size(), old.size());
    EXPECT_EQ(content.substr(0, old.size()), old);
    EXPECT_TRUE(std::regex_match(content.substr(old.size()),
                                 std::regex(StampPattern(".*") +
                                            " - App \\(\\\\\\\\BOX, user ann\\)\r\n")));
}

TEST_F(InstallLog, LinesCarryTheZoneNameOfTz)
{
    const struct {
        const char* tz;
        const char* zone;
    } rows[] = {{nullptr, ""}, {"GMT0", "GMT"}, {"ABC-13", "ABC"}};
    for (const auto& row : rows) {
        TzScope tz(row.tz);
        testing_support::WriteFile(path_, "");
        EXPECT_TRUE(std::regex_match(WriteOneLine("App"),
                                     std::regex(StampPattern(row.zone) +
                                                " - App \\(\\\\\\\\BOX, user ann\\)\r\n")))
            << (row.tz ? row.tz : "(unset)");
    }
    TzScope tz("EST5EDT");
    testing_support::WriteFile(path_, "");
    gRunSettings.namesObtained = 0;
    const char* zone = DaylightSavingInEffect(std::time(nullptr)) ? "EDT" : "EST";
    EXPECT_TRUE(std::regex_match(WriteOneLine("100% %s"),
                                 std::regex(StampPattern(zone) + " - 100% %s\r\n")));
}

TEST_F(InstallLog, TheClockIsTheSystemsWhateverTzSays)
{
    TzScope tz("ABC-13");  // thirteen hours from any real zone's reading of UTC
    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_STREQ(std::getenv("TZ"), "ABC-13");
    std::time_t moment = std::time(nullptr);
    std::tm expected{};
    {
        TzScope system(nullptr);
        localtime_r(&moment, &expected);
    }
    EXPECT_EQ(now.wYear, expected.tm_year + 1900);
    EXPECT_EQ(now.wMonth, expected.tm_mon + 1);
    EXPECT_EQ(now.wDay, expected.tm_mday);
    EXPECT_EQ(now.wDayOfWeek, expected.tm_wday);
    EXPECT_EQ(now.wHour, expected.tm_hour);
    EXPECT_LT(now.wMilliseconds, 1000);
}

TEST_F(InstallLog, AnUnreachableLogGivesNoStreamAndKeepsTheErrorMode)
{
    std::strcpy(gRunSettings.logPath, (dir_ / "missing/folder/Quorvel.log").c_str());
    SetErrorMode(5);
    OpenInstallLog();
    EXPECT_EQ(gRunSettings.logStream, nullptr);
    WriteInstallLogLine("App");
    EXPECT_EQ(SetErrorMode(0), 5u);
    EXPECT_FALSE(testing_support::FileExists(dir_ / "missing"));
}

TEST_F(InstallLog, TheErrorModeIsSetBackAfterTheWrite)
{
    OpenInstallLog();
    SetErrorMode(3);
    WriteInstallLogLine("App");
    EXPECT_EQ(SetErrorMode(0), 3u);
}

// 8 processes write 200 lines each to one log at the same moment: every line arrives, whole.
TEST_F(InstallLog, ManyWriterProcessesLoseAndTearNothing)
{
    constexpr int kWriters = 8;
    constexpr int kLines = 200;
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    std::vector<pid_t> writers;
    for (int w = 0; w < kWriters; ++w) {
        pid_t pid = fork();
        if (pid == 0) {
            close(go[1]);
            char start;
            if (read(go[0], &start, 1) != 0) {
                _exit(2);
            }
            OpenInstallLog();
            for (int i = 0; i < kLines; ++i) {
                std::string name = "writer" + std::to_string(w) + "-line" + std::to_string(i);
                WriteInstallLogLine(name.c_str());
            }
            CloseInstallLog();
            _exit(0);
        }
        ASSERT_GT(pid, 0);
        writers.push_back(pid);
    }
    close(go[0]);
    close(go[1]);  // every writer starts now
    for (pid_t pid : writers) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    std::string content = testing_support::ReadFile(path_);
    std::regex line(StampPattern(".*") + " - (writer[0-9]-line[0-9]+) \\(\\\\\\\\BOX, user ann\\)");
    std::set<std::string> seen;
    size_t start = 0;
    int lines = 0;
    while (start < content.size()) {
        size_t end = content.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "a line without its end at byte " << start;
        std::smatch match;
        std::string text = content.substr(start, end - start);
        EXPECT_TRUE(std::regex_match(text, match, line)) << "torn line: " << text;
        if (!match.empty()) {
            EXPECT_TRUE(seen.insert(match[1]).second) << "twice: " << match[1];
        }
        ++lines;
        start = end + 2;
    }
    EXPECT_EQ(lines, kWriters * kLines);
    EXPECT_EQ(seen.size(), static_cast<size_t>(kWriters * kLines));
}

}  // namespace
