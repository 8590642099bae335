// AddToRunLine through the POSIX WIN.INI: the value is read whole, edited and written back.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "platform/win32.h"
#include "run/run_line.h"
#include "support/test_support.h"

namespace {

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

class RunLineRegistration : public ::testing::Test {
protected:
    void WriteWinIni(const std::string& content) const
    {
        mkdir((home_ / ".config").c_str(), 0700);
        WriteFile(home_ / ".config/win.ini", content);
    }
    std::string WinIniText() const { return ReadFile(home_ / ".config/win.ini"); }
    static std::string RunValue()
    {
        std::string out(8192, '\0');
        DWORD length = GetProfileStringA("windows", "run", "", &out[0],
                                         static_cast<DWORD>(out.size()));
        out.resize(length);
        return out;
    }

    TempDir home_;

private:
    testing_support::ScopedEnvironmentVariable homeVariable_{"HOME", home_.path().c_str()};
    testing_support::ScopedOrdinaryUser user_{home_.path()};
};

TEST_F(RunLineRegistration, FirstRegistrationCreatesTheFile)
{
    AddToRunLine("/net/Prog");
    EXPECT_EQ(RunValue(), " /net/Prog");
    EXPECT_EQ(WinIniText(), "[windows]\nrun=\" /net/Prog\"\n");
}

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

TEST_F(RunLineRegistration, AValueOfExactlyTheFirstRoomIsNotCut)
{
    for (size_t length : {258u, 259u, 260u, 519u, 520u}) {
        std::string value(length, 'a');
        WriteWinIni("[windows]\nrun=" + value + "\n");
        AddToRunLine("/net/Prog");
        EXPECT_EQ(RunValue(), value + " /net/Prog") << length;
    }
}

TEST_F(RunLineRegistration, AnEmptyPathChangesNothing)
{
    WriteWinIni("[windows]\nrun=A B\n");
    AddToRunLine("");
    AddToRunLine(nullptr);
    EXPECT_EQ(WinIniText(), "[windows]\nrun=A B\n");
}

}  // namespace
