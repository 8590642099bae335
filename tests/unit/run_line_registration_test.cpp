// AddToRunLine through the POSIX WIN.INI: the value is read whole, edited and written back.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "platform/win32.h"
#include "run/run_line.h"
#include "support/kept_run_value.h"
#include "support/test_support.h"

namespace {

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

class RunLineRegistration : public ::testing::Test {
protected:
    static std::string RunValue()
    {
        std::string out(8192, '\0');
        DWORD length = GetProfileStringA("windows", "run", "", &out[0],
                                         static_cast<DWORD>(out.size()));
        out.resize(length);
        return out;
    }
#ifndef _WIN32
    void WriteWinIni(const std::string& content) const
    {
        mkdir((home_ / ".config").c_str(), 0700);
        WriteFile(home_ / ".config/win.ini", content);
    }
    std::string WinIniText() const
    {
        return ReadFile(home_ / ".config/win.ini");
    }
    void SetRunValue(const std::string& value) const
    {
        WriteWinIni("[windows]\nrun=" + value + "\n");
    }

    TempDir home_;

private:
    testing_support::ScopedEnvironmentVariable homeVariable_{"HOME", home_.path().c_str()};
    testing_support::ScopedOrdinaryUser user_{home_.path()};
#else
    // The real platform keeps the windows section in the user's registry: each test starts
    // without a run value there, and the user's value is put back after it.
    void SetUp() override
    {
        WriteProfileStringA("windows", "run", nullptr);
    }
    static void SetRunValue(const std::string& value)
    {
        WriteProfileStringA("windows", "run", value.c_str());
    }

private:
    testing_support::KeptRunValue kept_;
#endif
};

TEST_F(RunLineRegistration, FirstRegistrationCreatesTheFile)
{
    AddToRunLine("/net/Prog");
    EXPECT_EQ(RunValue(), " /net/Prog");
#ifndef _WIN32  // the file's bytes: the real platform keeps the value in the registry
    EXPECT_EQ(WinIniText(), "[windows]\nrun=\" /net/Prog\"\n");
#endif
}

// POSIX only: the file's other sections and bytes, which the real platform's registry lacks.
#ifndef _WIN32
TEST_F(RunLineRegistration, ALongValueIsReadAndWrittenWhole)
{
    std::string head(294, 'h');
    std::string tail(295, 't');
    head[10] = ',';
    tail[200] = ' ';
    std::string value = head + " /old/PROG " + tail;
    ASSERT_EQ(value.size(), 600u);
    WriteWinIni("[desktop]\r\nx=1\r\n[windows]\r\nrun=" + value + "\r\nload=\r\n");
    AddToRunLine("/net/Prog");
    std::string expected = head + " " + tail + " /net/Prog";
    EXPECT_EQ(RunValue(), expected);
    EXPECT_EQ(WinIniText(), "[desktop]\r\nx=1\r\n[windows]\r\nrun=" + expected + "\r\nload=\r\n");
}
#endif

TEST_F(RunLineRegistration, AValueOfExactlyTheFirstRoomIsNotCut)
{
    for (size_t length : {258u, 259u, 260u, 519u, 520u}) {
        std::string value(length, 'a');
        SetRunValue(value);
        AddToRunLine("/net/Prog");
        EXPECT_EQ(RunValue(), value + " /net/Prog") << length;
    }
}

#ifndef _WIN32  // the file's bytes, which the real platform's registry lacks
TEST_F(RunLineRegistration, AnEmptyPathChangesNothing)
{
    WriteWinIni("[windows]\nrun=A B\n");
    AddToRunLine("");
    AddToRunLine(nullptr);
    EXPECT_EQ(WinIniText(), "[windows]\nrun=A B\n");
}
#endif

}  // namespace
