// The POSIX WIN.INI: one key edited in place, every other byte kept, values read back exactly.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include "platform/posix/profile/log_on_start.h"
#include "platform/posix/profile/win_ini_edit.h"
#endif
#include "platform/win32.h"
#include "support/kept_run_value.h"
#include "support/test_support.h"

namespace {

using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::Utf16Bytes;
using testing_support::WriteFile;

// Points HOME at a fresh folder for the test and puts the old value back afterwards. On the
// real platform, which keeps the windows section in the user's registry, it keeps the run
// value there and puts it back.
class WinIniWriting : public ::testing::Test {
protected:
    static std::string ReadBack(const char* section, const char* key)
    {
        char out[512];
        DWORD length = GetProfileStringA(section, key, "<default>", out, sizeof out);
        return std::string(out, length);
    }
#ifndef _WIN32
    std::string WinIni() const
    {
        return home_ / ".config/win.ini";
    }
    void WriteWinIni(const std::string& content) const
    {
        mkdir((home_ / ".config").c_str(), 0700);
        WriteFile(WinIni(), content);
    }
    std::string Stored() const
    {
        return ReadFile(WinIni());
    }

    TempDir home_;

private:
    testing_support::ScopedEnvironmentVariable homeVariable_{"HOME", home_.path().c_str()};
    testing_support::ScopedEnvironmentVariable configHome_{"XDG_CONFIG_HOME", nullptr};
    testing_support::ScopedOrdinaryUser user_{home_.path()};
#else
    static std::string Stored()
    {
        return "(in the registry)";
    }

private:
    testing_support::KeptRunValue kept_;
#endif
};

// POSIX only: the file's bytes, which the real platform keeps in the registry instead.
#ifndef _WIN32

TEST_F(WinIniWriting, AWriteIsSeenByTheNextRead)
{
    WriteWinIni("[windows]\nrun=a\n");
    EXPECT_EQ(ReadBack("windows", "run"), "a");
    EXPECT_TRUE(WriteProfileStringA("windows", "run", "b"));
    EXPECT_EQ(ReadBack("windows", "run"), "b");
}

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

#endif

TEST_F(WinIniWriting, ValuesReadBackExactly)
{
    for (const std::string& value :
         {std::string(""), std::string(" /a/prog"), std::string("  two leading"),
          std::string("trailing \t"), std::string("\tboth "), std::string("\"quoted\""),
          std::string("'single'"), std::string("\""), std::string("\"open"), std::string("a, b ;c"),
          std::string("\" x \""), std::string("'mixed\"")}) {
        EXPECT_TRUE(WriteProfileStringA("windows", "run", value.c_str())) << value;
        EXPECT_EQ(ReadBack("windows", "run"), value) << Stored();
    }
}

// POSIX only: the file's bytes, the home folder and the autostart entries; the real
// platform's registry takes the requests refused here (a null key would empty the section).
#ifndef _WIN32
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

TEST_F(WinIniWriting, Utf16FilesStayUtf16WithEveryOtherCharacter)
{
    struct Case {
        const char* what;
        bool bigEndian;
        std::u16string before, after;
    };
    const std::u16string path = u"/opt/caf\u00e9";
    for (const Case& c :
         {Case{"LE, value replaced", false, u"; \u00e9 \U0001F600\r\n[windows]\r\nrun=old\r\n",
               u"; \u00e9 \U0001F600\r\n[windows]\r\nrun=" + path + u"\r\n"},
          Case{"BE, section added", true, u"[x]\rk=\u4e2d",
               u"[x]\rk=\u4e2d\r[windows]\rrun=" + path + u"\r"},
          Case{"BE, text starting with U+FEFF, which is text and no second mark", true, u"\uFEFF",
               u"\uFEFF\n[windows]\nrun=" + path + u"\n"}}) {
        WriteWinIni(Utf16Bytes(c.before, c.bigEndian));
        EXPECT_TRUE(WriteProfileStringA("windows", "run", "/opt/caf\xC3\xA9")) << c.what;
        EXPECT_EQ(ReadFile(WinIni()), Utf16Bytes(c.after, c.bigEndian)) << c.what;
        EXPECT_EQ(ReadBack("windows", "run"), "/opt/caf\xC3\xA9") << c.what;
    }
    // Bytes that the text would not give back, and a value with no UTF-16 form, leave the file.
    const std::string loneSurrogate = Utf16Bytes(u"[windows]\nrun=\xD800\n", false);
    const std::string oddLastByte = Utf16Bytes(u"[windows]\nrun=a\n", false) + "x";
    for (const std::string& before : {loneSurrogate, oddLastByte}) {
        WriteWinIni(before);
        EXPECT_FALSE(WriteProfileStringA("windows", "run", "b"));
        EXPECT_EQ(ReadFile(WinIni()), before);
    }
    WriteWinIni(Utf16Bytes(u"[windows]\n", false));
    EXPECT_FALSE(WriteProfileStringA("windows", "run", "caf\xE9"));
}

// Only the running program itself gets an autostart entry, and only when the run line holds
// its path whole: no other entry of the line, nor a fragment of one, ever gets one.
TEST_F(WinIniWriting, OnlyTheProgramItselfGetsAnAutostartEntry)
{
    char self[4096];
    DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    ASSERT_GT(length, 0u);
    const std::string program(self, length);
    const std::string name = program.substr(program.rfind('/') + 1);
    const std::string other = home_ / "other";
    WriteFile(other, "");
    WriteFile(home_ / "pub", "");  // a fragment of "pub/a b"
    const std::string line = other + " " + home_.path() + "/pub,/no/such " + program + ", rel";
    EXPECT_TRUE(WriteProfileStringA("windows", "run", line.c_str()));
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(home_ / ".config/autostart")) {
        entries.push_back(entry.path().filename());
    }
    EXPECT_EQ(entries, std::vector<std::string>{name + ".desktop"});
    std::string text = ReadFile(home_ / (".config/autostart/" + name + ".desktop"));
    EXPECT_NE(text.find("\nExec=\"" + program + "\"\n"), std::string::npos) << text;
}

// A link for the WIN.INI or the autostart folder, or a home that belongs to someone else, is
// refused: nothing is written through it or into it.
TEST_F(WinIniWriting, NothingIsWrittenThroughALinkOrIntoAnotherUsersHome)
{
    mkdir((home_ / ".config").c_str(), 0700);
    const std::string target = home_ / "elsewhere";
    WriteFile(target, "[windows]\nrun=\n");
    ASSERT_EQ(symlink(target.c_str(), WinIni().c_str()), 0);
    EXPECT_FALSE(WriteProfileStringA("windows", "run", "x"));
    EXPECT_EQ(ReadFile(target), "[windows]\nrun=\n");
    unlink(WinIni().c_str());

    char self[4096];
    DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    ASSERT_GT(length, 0u);
    const std::string folder = home_ / "autostart-elsewhere";
    mkdir(folder.c_str(), 0700);
    ASSERT_EQ(symlink(folder.c_str(), (home_ / ".config/autostart").c_str()), 0);
    EXPECT_FALSE(WriteProfileStringA("windows", "run", std::string(self, length).c_str()));
    EXPECT_TRUE(std::filesystem::is_empty(folder));

    // A home of someone else's: root's folder when the test runs as an ordinary user.
    if (geteuid() != 0) {
        setenv("HOME", "/", 1);
        EXPECT_FALSE(WriteProfileStringA("windows", "run", "x"));
    }
}

TEST(LogOnStart, AnAutostartEntryIsWrittenOnlyForAPathItCarriesExactly)
{
    EXPECT_EQ(posix::profile::WhyAutostartCannotCarry("/opt/quorvel/bin/quorvel"), "");
    EXPECT_EQ(posix::profile::WhyAutostartCannotCarry("/opt/\xC3\xA9t\xC3\xA9/quorvel"), "");
    for (const char* path : {"pub/a", "/pub/a b/q", "/pub/a,b/q", "/pub/100%/q", "/a\nb", "/a\"b",
                             "/a\\b", "/a$b", "/a`b", "/caf\xE9", ""}) {
        EXPECT_NE(posix::profile::WhyAutostartCannotCarry(path), "") << path;
    }
}

// The Desktop Entry rules: quoted, with '"', '`', '$' and '\' escaped inside the quotes, then
// every backslash doubled by the string escapes (so a literal backslash is four).
TEST(LogOnStart, ExecArgumentsAreQuotedByTheDesktopEntryRules)
{
    EXPECT_EQ(posix::profile::QuotedExecArgument("/opt/my apps/q"), "\"/opt/my apps/q\"");
    EXPECT_EQ(posix::profile::QuotedExecArgument("/a\\b\"c`d"), "\"/a\\\\\\\\b\\\\\"c\\\\`d\"");
    EXPECT_EQ(posix::profile::QuotedExecArgument("/a\tb;%"), "\"/a\\tb;%%\"");
    EXPECT_EQ(posix::profile::QuotedExecArgument("/a\x01"), "");
}

TEST(WinIniEdit, EncodingQuotesOnlyWhereReadingWouldChangeTheValue)
{
    EXPECT_EQ(posix::profile::EncodeProfileValue("a b"), "a b");
    EXPECT_EQ(posix::profile::EncodeProfileValue(" a"), "\" a\"");
    EXPECT_EQ(posix::profile::EncodeProfileValue("'a'"), "\"'a'\"");
    EXPECT_EQ(posix::profile::EncodeProfileValue("\"a"), "\"a");
}
#endif

}  // namespace
