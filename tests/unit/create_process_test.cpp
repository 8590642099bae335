// Splitting a command line by the Windows rules, and starting programs without waiting.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "check/check_platform.h"
#include "platform/posix/process/inheritable_descriptors.h"
#include "platform/win32.h"
#include "support/test_support.h"
#include "text/windows_command_line.h"

namespace {

using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;
using Args = std::vector<std::string>;

TEST(WindowsCommandLine, SplitsByTheWindowsRules)
{
    const struct {
        std::string line;
        Args args;
    } rows[] = {
        {"", {}},
        {"  a  b\tc ", {"a", "b", "c"}},
        {"\"a b\" c", {"a b", "c"}},
        {"a\"b c\"d", {"ab cd"}},
        {"a\\b\\\\c", {"a\\b\\\\c"}},
        {"a\\\\\"b c\"", {"a\\b c"}},
        {"a\\\"b", {"a\"b"}},
        {"\"a\"\"b\"", {"a\"b"}},
        {"\"open", {"open"}},
        {"\"\"", {""}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(SplitWindowsCommandLine(row.line), row.args) << row.line;
    }
}

// A script that records its arguments, one per line, in `record`.
std::string MakeRecorder(const TempDir& dir, const std::string& name, const std::string& record)
{
    std::string path = dir / name;
    WriteFile(path, "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '" + record +
                        ".partial'\nmv '" + record + ".partial' '" + record + "'\n");
    chmod(path.c_str(), 0755);
    return path;
}

// Starts the command line as the setup programs are started; true when it was started. The
// handles are closed at once, as the caller does.
bool Start(const std::string& commandLine, BOOL inheritHandles = FALSE)
{
    std::string writable = commandLine;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, &writable[0], nullptr, nullptr, inheritHandles, 0, nullptr,
                        nullptr, &startup, &started)) {
        return false;
    }
    return CloseHandle(started.hThread) && CloseHandle(started.hProcess);
}

std::string WaitForFile(const std::string& path)
{
    for (int i = 0; i < 200 && !FileExists(path); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return ReadFile(path);
}

TEST(CreateProcess, StartsTheProgramWithItsArgumentsAndReportsSuccess)
{
    TempDir dir;
    std::string program = MakeRecorder(dir, "rec", dir / "out");
    EXPECT_TRUE(Start(program + " one \"two three\" fo\\\"ur"));
    EXPECT_EQ(WaitForFile(dir / "out"), "one\ntwo three\nfo\"ur\n");
}

TEST(CreateProcess, ProgramPathsWithBlanksWorkQuotedOrUnquoted)
{
    TempDir dir;
    mkdir((dir / "my tools").c_str(), 0755);
    std::string program = MakeRecorder(dir, "my tools/rec", dir / "out");
    if (geteuid() == 0) {
        // Anyone who can create "my" would run a program as root in its place: nothing starts.
        EXPECT_FALSE(Start(program + " x"));
        EXPECT_FALSE(ForecastSetupStart(program + " x").starts);
        EXPECT_EQ(ForecastSetupStart(program + " x").plantable, dir / "my");
    } else {
        EXPECT_TRUE(Start(program + " x"));
        EXPECT_EQ(WaitForFile(dir / "out"), "x\n");
        // The companion reports the arguments the program is started with.
        EXPECT_EQ(ForecastSetupStart(program + " x").arguments,
                  (std::vector<std::string>{program, "x"}));
        unlink((dir / "out").c_str());
    }
    EXPECT_TRUE(Start("\"" + program + "\" y"));
    EXPECT_EQ(WaitForFile(dir / "out"), "y\n");
}

// The companion's forecast is the start's own search: it agrees on every start and failure.
TEST(CreateProcess, FailuresAreReportedAndForeseen)
{
    TempDir dir;
    WriteFile(dir / "not-executable", "data");
    mkdir((dir / "folder").c_str(), 0755);
    const std::string record = "echo \"$1\" > '" + (dir / "ran") + "'\n";
    for (const auto& script : {std::make_pair("no-interpreter", std::string("#!/no/such/sh\n")),
                               std::make_pair("carriage-return", std::string("#!/bin/sh\r\n")),
                               std::make_pair("no-interpreter-line", record)}) {
        WriteFile(dir / script.first, script.second);
        chmod((dir / script.first).c_str(), 0755);
    }
    for (const std::string& line :
         {std::string(""), std::string("   "), dir / "missing", dir / "not-executable",
          dir / "folder", std::string("quorvel-no-such-program-anywhere"), dir / "no-interpreter",
          dir / "carriage-return"}) {
        EXPECT_FALSE(Start(line)) << line;
        EXPECT_FALSE(ForecastSetupStart(line).starts) << line;
    }
    // A file without an interpreter line is run by /bin/sh, as execvp runs it, except as root.
    std::string plain = dir / "no-interpreter-line";
    EXPECT_EQ(Start(plain + " x"), geteuid() != 0);
    EXPECT_EQ(ForecastSetupStart(plain + " x").starts, geteuid() != 0);
    if (geteuid() != 0) {
        EXPECT_EQ(WaitForFile(dir / "ran"), "x\n");
        EXPECT_EQ(ForecastSetupStart(plain).how, "no interpreter line: run by /bin/sh");
    }
}

TEST(CreateProcess, DoesNotWaitAndPassesOnNoOpenFiles)
{
    TempDir dir;
    // The program sleeps, then lists where its open descriptors lead.
    std::string program = dir / "slow";
    WriteFile(program, "#!/bin/sh\nsleep 1\nls -l /proc/$$/fd/ > '" + (dir / "fds.partial") +
                           "'\nmv '" + (dir / "fds.partial") + "' '" + (dir / "fds") + "'\n");
    chmod(program.c_str(), 0755);
    FILE* ours = fopen((dir / "held").c_str(), "w");  // inheritable: no close-on-exec
    ASSERT_NE(ours, nullptr);
    // A high descriptor limit, as containers and many desktops set (raised as far as allowed),
    // with an inheritable descriptor at its very top.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    struct rlimit high = {rlim_t{1} << 20, rlim_t{1} << 20};
    if (setrlimit(RLIMIT_NOFILE, &high) != 0) {
        high = {saved.rlim_max, saved.rlim_max};
        ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &high), 0);
    }
    int top = dup2(fileno(ours), static_cast<int>(high.rlim_cur - 1));
    ASSERT_GE(top, 0);
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(Start(program));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
    close(top);
    setrlimit(RLIMIT_NOFILE, &saved);
    std::string fds = WaitForFile(dir / "fds");
    fclose(ours);
    EXPECT_NE(fds, "");
    EXPECT_EQ(fds.find(dir / "held"), std::string::npos) << fds;
}

// Inheriting handles passes on the registered descriptor (an entry's running-setup mark) and
// nothing else: not a descriptor this process left open without close-on-exec.
TEST(CreateProcess, InheritingPassesOnOnlyTheRegisteredDescriptor)
{
    TempDir dir;
    std::string program = dir / "lister";
    WriteFile(program, "#!/bin/sh\nls -l /proc/$$/fd/ > '" + (dir / "fds.partial") + "'\nmv '" +
                           (dir / "fds.partial") + "' '" + (dir / "fds") + "'\n");
    chmod(program.c_str(), 0755);
    FILE* stray = fopen((dir / "stray").c_str(), "w");  // no close-on-exec
    FILE* mark = fopen((dir / "mark").c_str(), "we");
    ASSERT_NE(stray, nullptr);
    ASSERT_NE(mark, nullptr);
    ASSERT_TRUE(posix::process::SetDescriptorInheritable(fileno(mark), true));
    EXPECT_TRUE(Start(program, TRUE));
    posix::process::SetDescriptorInheritable(fileno(mark), false);
    std::string fds = WaitForFile(dir / "fds");
    fclose(stray);
    fclose(mark);
    EXPECT_NE(fds.find(dir / "mark"), std::string::npos) << fds;
    EXPECT_EQ(fds.find(dir / "stray"), std::string::npos) << fds;
}

}  // namespace
