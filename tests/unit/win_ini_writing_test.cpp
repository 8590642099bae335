// The POSIX WIN.INI: one key edited in place, every other byte kept, values read back exactly.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/posix/profile/win_ini_edit.h"
#include "platform/win32.h"
#include "support/test_support.h"

namespace {

using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

// Points HOME at a fresh folder for the test and puts the old value back afterwards.
class WinIniWriting : public ::testing::Test {
protected:
    std::string WinIni() const { return home_ / ".config/win.ini"; }
    void WriteWinIni(const std::string& content) const
    {
        mkdir((home_ / ".config").c_str(), 0700);
        WriteFile(WinIni(), content);
    }
    static std::string ReadBack(const char* section, const char* key)
    {
        char out[512];
        DWORD length = GetProfileStringA(section, key, "<default>", out, sizeof out);
        return std::string(out, length);
    }

    TempDir home_;

private:
    testing_support::ScopedEnvironmentVariable homeVariable_{"HOME", home_.path().c_str()};
};

TEST_F(WinIniWriting, MissingFileAndFolderAreCreated)
{
    ASSERT_FALSE(FileExists(home_ / ".config"));
    EXPECT_TRUE(WriteProfileStringA("windows", "run", "/opt/prog"));
    EXPECT_EQ(ReadFile(WinIni()), "[windows]\nrun=/opt/prog\n");
    EXPECT_EQ(ReadBack("windows", "run"), "/opt/prog");
}

TEST_F(WinIniWriting, OnlyTheValueChanges)
{
    const std::string before = "; user settings\r\n\r\n[Desktop]\r\nWallpaper = none\r\n"
                               "\r\n[Windows]\r\n  load = a.exe\r\n"
                               "RUN = old.exe ; not a comment\r\n"
                               "device=x\r\n\r\n; trailing\r\n[Other]\nk=v";
    WriteWinIni(before);
    EXPECT_TRUE(WriteProfileStringA("windows", "run", "new.exe"));
    std::string expected = before;
    expected.replace(expected.find("old.exe ; not a comment"), 23, "new.exe");
    EXPECT_EQ(ReadFile(WinIni()), expected);
}

TEST_F(WinIniWriting, ReplacementKeepsPermissionsAndLeavesNoTemporaryFile)
{
    WriteWinIni("[windows]\nrun=a\n");
    chmod(WinIni().c_str(), 0640);
    EXPECT_TRUE(WriteProfileStringA("windows", "run", "b"));
    struct stat status {};
    ASSERT_EQ(stat(WinIni().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(home_ / ".config")) {
        EXPECT_EQ(entry.path().filename(), "win.ini");
        ++files;
    }
    EXPECT_EQ(files, 1u);
}

TEST_F(WinIniWriting, MissingKeyGoesAfterTheSectionsLastEntry)
{
    WriteWinIni("[windows]\r\nload=a\r\n\r\n[x]\r\nk=v\r\n");
    EXPECT_TRUE(WriteProfileStringA("windows", "run", "p"));
    EXPECT_EQ(ReadFile(WinIni()), "[windows]\r\nload=a\r\nrun=p\r\n\r\n[x]\r\nk=v\r\n");
}

TEST_F(WinIniWriting, MissingSectionIsAddedAtTheEndWithTheFilesLineEnds)
{
    WriteWinIni("\xEF\xBB\xBF[x]\r\nk=v");
    EXPECT_TRUE(WriteProfileStringA("windows", "run", "p"));
    EXPECT_EQ(ReadFile(WinIni()), "\xEF\xBB\xBF[x]\r\nk=v\r\n[windows]\r\nrun=p\r\n");
    EXPECT_EQ(ReadBack("windows", "run"), "p");
    EXPECT_EQ(ReadBack("x", "k"), "v");
}

TEST_F(WinIniWriting, OnlyTheFirstSectionAndKeyAreTouched)
{
    WriteWinIni("[windows]\nrun=1\nrun=2\n[windows]\nrun=3\n");
    EXPECT_TRUE(WriteProfileStringA(" Windows ", "RUN", "x"));
    EXPECT_EQ(ReadFile(WinIni()), "[windows]\nrun=x\nrun=2\n[windows]\nrun=3\n");
}

TEST_F(WinIniWriting, ValuesReadBackExactly)
{
    for (const std::string& value :
         {std::string(""), std::string(" /a/prog"), std::string("  two leading"),
          std::string("trailing \t"), std::string("\tboth "), std::string("\"quoted\""),
          std::string("'single'"), std::string("\""), std::string("\"open"),
          std::string("a, b ;c"), std::string("\" x \""), std::string("'mixed\"")}) {
        EXPECT_TRUE(WriteProfileStringA("windows", "run", value.c_str())) << value;
        EXPECT_EQ(ReadBack("windows", "run"), value) << ReadFile(WinIni());
    }
}

TEST_F(WinIniWriting, NullValueRemovesTheKeyLine)
{
    WriteWinIni("[windows]\nload=a\nrun=b\ndevice=c\n");
    EXPECT_TRUE(WriteProfileStringA("windows", "run", nullptr));
    EXPECT_EQ(ReadFile(WinIni()), "[windows]\nload=a\ndevice=c\n");
    EXPECT_EQ(ReadBack("windows", "run"), "<default>");
}

TEST_F(WinIniWriting, UnsafeRequestsAreRefusedAndTheFileKept)
{
    const std::string before = "[windows]\nrun=a\n";
    WriteWinIni(before);
    EXPECT_FALSE(WriteProfileStringA("windows", "run", "a\nload=evil"));
    EXPECT_FALSE(WriteProfileStringA("windows", "ru=n", "x"));
    EXPECT_FALSE(WriteProfileStringA("windows", ";run", "x"));
    EXPECT_FALSE(WriteProfileStringA("win\ndows", "run", "x"));
    EXPECT_FALSE(WriteProfileStringA("windows", nullptr, "x"));
    EXPECT_EQ(ReadFile(WinIni()), before);
}

TEST_F(WinIniWriting, AFileThatCannotBeReplacedGivesFalse)
{
    mkdir((home_ / ".config").c_str(), 0700);
    mkdir(WinIni().c_str(), 0700);  // a folder where the file should be
    EXPECT_FALSE(WriteProfileStringA("windows", "run", "x"));
    WriteFile(home_ / "file", "");
    setenv("HOME", (home_ / "file").c_str(), 1);  // .config cannot be created under a file
    EXPECT_FALSE(WriteProfileStringA("windows", "run", "x"));
}

TEST_F(WinIniWriting, UnsetHomeUsesThePasswordDatabase)
{
    unsetenv("HOME");
    char out[16] = "";
    // Whatever that home holds, the call must answer without touching the test's folder.
    GetProfileStringA("quorvel-test-no-such-section", "k", "d", out, sizeof out);
    EXPECT_STREQ(out, "d");
    EXPECT_FALSE(FileExists(WinIni()));
}

TEST(WinIniEdit, Utf16FilesAreNotRewritten)
{
    EXPECT_FALSE(profile::SetProfileEntry("\xFF\xFE[\0", "windows", "run", "x"));
}

TEST(WinIniEdit, EncodingQuotesOnlyWhereReadingWouldChangeTheValue)
{
    EXPECT_EQ(profile::EncodeProfileValue("a b"), "a b");
    EXPECT_EQ(profile::EncodeProfileValue(" a"), "\" a\"");
    EXPECT_EQ(profile::EncodeProfileValue("'a'"), "\"'a'\"");
    EXPECT_EQ(profile::EncodeProfileValue("\"a"), "\"a");
}

}  // namespace
