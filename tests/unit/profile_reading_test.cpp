// Private profile reading, row by row as the real platform behaves.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include "platform/posix/files/file_identity.h"
#endif
#include "platform/win32.h"
#include "support/known_difference.h"
#include "support/test_support.h"

namespace {

using testing_support::GivesAsThePlatform;
using testing_support::Mark;
using testing_support::MarkOf;
using testing_support::TempDir;
using testing_support::Utf16Bytes;
using testing_support::WriteFile;

struct ReadCase {
    const char* what;
    std::string content;
    const char* section;
    const char* key;
    const char* defaultValue;
    std::string expected;
};

const std::vector<ReadCase>& ReadCases()
{
    static const std::vector<ReadCase> cases = {
        {"blanks and tabs around everything", " \t[ s ]\t\n\t k \t=\t a  b\tc \t\n", "s", "k", "D",
         "a  b\tc"},
        {"query names trimmed", "[s]\nk=v\n", "  s\t", " k ", "D", "v"},
        {"double quotes removed", "[s]\nk=\"x y\"\n", "s", "k", "D", "x y"},
        {"single quotes removed", "[s]\nk='x'\n", "s", "k", "D", "x"},
        {"quotes after trimming", "[s]\nk = \"q\" \n", "s", "k", "D", "q"},
        {"inner blanks of quotes kept", "[s]\nk=\" q \"\n", "s", "k", "D", " q "},
        {"open quote kept", "[s]\nk=\"open\n", "s", "k", "D", "\"open"},
        {"close quote kept", "[s]\nk=close\"\n", "s", "k", "D", "close\""},
        {"mixed quotes kept", "[s]\nk='mixed\"\n", "s", "k", "D", "'mixed\""},
        {"lone quote kept", "[s]\nk=\"\n", "s", "k", "D", "\""},
        {"no inline comments", "[s]\nk=val ; comment\n", "s", "k", "D", "val ; comment"},
        {"comment line", "[s]\n;k=1\n", "s", "k", "D", "D"},
        {"indented comment line", "[s]\n  ;k=1\n", "s", "k", "D", "D"},
        {"hash starts a key", "[s]\n#c2=2\n", "s", "#c2", "D", "2"},
        {"line without =", "[s]\nk\n", "s", "k", "D", "D"},
        {"empty value", "[s]\nk=\n", "s", "k", "D", ""},
        {"blank value", "[s]\nk=   \n", "s", "k", "D", ""},
        {"duplicate key: first wins", "[s]\nk=1\nk=2\n", "s", "k", "D", "1"},
        {"duplicate section: first wins", "[s]\nk=1\n[t]\n[s]\nk=2\n", "s", "k", "D", "1"},
        {"duplicate sections not merged", "[s]\na=1\n[s]\nk=2\n", "s", "k", "D", "D"},
        {"section case ignored", "[SeC]\nk=v\n", "sEc", "k", "D", "v"},
        {"key case ignored", "[s]\nKeY=v\n", "s", "kEy", "D", "v"},
        {"CR LF line ends", "[s]\r\nk=v\r\nj=w\r\n", "s", "j", "D", "w"},
        {"lone CR line ends", "[s]\rk=v\rj=w\r", "s", "j", "D", "w"},
        {"no final line end", "[s]\nk=v", "s", "k", "D", "v"},
        {"UTF-8 mark skipped", "\xEF\xBB\xBF[s]\nk=v\n", "s", "k", "D", "v"},
        {"other bytes unchanged", "[s]\nk=caf\xE9\n", "s", "k", "D", "caf\xE9"},
        {"UTF-16 LE decoded", Utf16Bytes(u"[s]\r\nk=v\u00e9\r\n", false), "s", "k", "D",
         "v\xC3\xA9"},
        {"UTF-16 BE decoded", Utf16Bytes(u"[s]\nk=w\n", true), "s", "k", "D", "w"},
        {"NUL ends the value", std::string("[s]\nk=ab\0cd\n", 12), "s", "k", "D", "ab"},
        {"header without ]: keys stay in the previous section", "[s]\n[t\nk=v\n", "s", "k", "D",
         "v"},
        {"header without ]: no new section", "[s]\n[t\nk=v\n", "t", "k", "D", "D"},
        {"junk after ]", "[sec]junk\nk=v\n", "sec", "k", "D", "v"},
        {"name up to the last ]", "[a]b]\nk=v\n", "a]b", "k", "D", "v"},
        {"keys before any header", "k=v\n[s]\nk=w\n", "", "k", "D", "v"},
        {"missing section", "[s]\nk=v\n", "t", "k", "D", "D"},
        {"missing key", "[s]\nk=v\n", "s", "j", "D", "D"},
        {"default: trailing blanks stripped", "", "s", "k", "dflt  ", "dflt"},
        {"default: leading blanks kept", "", "s", "k", "  dflt", "  dflt"},
        {"default: quotes removed", "", "s", "k", "\"x y\"", "x y"},
        {"null default", "", "s", "k", nullptr, ""},
    };
    return cases;
}

// What the real platform gives where it differs from the stand-in.
const std::vector<testing_support::MarkedRow<std::string>> kRealPlatformRows = {
    {"UTF-16 LE decoded", "v\xE9",
     "the real call gives the ANSI code page (1252 here), the stand-in UTF-8"},
};

class ProfileReading : public ::testing::TestWithParam<size_t> {};

TEST_P(ProfileReading, GivesWhatThePlatformGives)
{
    const ReadCase& c = ReadCases()[GetParam()];
    TempDir dir;
    std::string file = dir / "test.ini";
    WriteFile(file, c.content);
    char out[64];
    std::memset(out, 'X', sizeof out);
    DWORD length = GetPrivateProfileStringA(c.section, c.key, c.defaultValue, out, sizeof out,
                                            file.c_str());
    EXPECT_TRUE(GivesAsThePlatform(std::string(out), c.expected, MarkOf(c.what, kRealPlatformRows)))
        << c.what;
    EXPECT_EQ(length, std::strlen(out)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Table, ProfileReading, ::testing::Range<size_t>(0, ReadCases().size()));

TEST(ProfileReadingFiles, MissingFileFolderOrAFolderGiveTheDefault)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "folder");
    for (const std::string& path : {dir / "missing.ini", dir / "nodir/x.ini", dir / "folder"}) {
        char out[16] = "";
        EXPECT_EQ(GetPrivateProfileStringA("s", "k", "d", out, sizeof out, path.c_str()), 1u);
        EXPECT_STREQ(out, "d") << path;
        EXPECT_EQ(GetPrivateProfileIntA("s", "k", 77, path.c_str()), 77u) << path;
    }
}

TEST(ProfileReadingFiles, SmallBuffersCutAndTerminate)
{
    TempDir dir;
    WriteFile(dir / "t.ini", "[s]\nk=abcdef\n");
    char out[8];
    std::memset(out, 'X', sizeof out);
    EXPECT_EQ(GetPrivateProfileStringA("s", "k", "", out, 4, (dir / "t.ini").c_str()), 3u);
    EXPECT_STREQ(out, "abc");
    EXPECT_EQ(out[4], 'X');  // nothing beyond the room given
    out[0] = 'X';
    EXPECT_EQ(GetPrivateProfileStringA("s", "k", "", out, 0, (dir / "t.ini").c_str()), 0u);
    EXPECT_EQ(out[0], 'X');
    EXPECT_EQ(GetPrivateProfileStringA("s", "missing", "longdefault", out, 5,
                                       (dir / "t.ini").c_str()),
              4u);
    EXPECT_STREQ(out, "long");
}

TEST(ProfileReadingFiles, AChangeBetweenCallsIsSeen)
{
    TempDir dir;
    std::string file = dir / "t.ini";
    WriteFile(file, "[s]\nk=1\n");
    EXPECT_EQ(GetPrivateProfileIntA("s", "k", 0, file.c_str()), 1u);
    WriteFile(file, "[s]\nk=2\n");
    EXPECT_EQ(GetPrivateProfileIntA("s", "k", 0, file.c_str()), 2u);
    char out[8] = "";
    GetPrivateProfileStringA("s", "k", "", out, sizeof out, file.c_str());
    EXPECT_STREQ(out, "2");
}

// POSIX only: the stand-in's kept copy, told apart by change times that Windows lacks.
#ifndef _WIN32
// A copy kept from before a change must never answer: a same-size rewrite whose file times are
// put back is told by the change time, and a deleted file reads as absent.
TEST(ProfileReadingFiles, AKeptCopyNeverHidesAChange)
{
    TempDir dir;
    std::string file = dir / "t.ini";
    WriteFile(file, "[s]\nk=1\n");
    struct stat before {};
    ASSERT_EQ(stat(file.c_str(), &before), 0);
    EXPECT_EQ(GetPrivateProfileIntA("s", "k", 0, file.c_str()), 1u);
    WriteFile(file, "[s]\nk=2\n");
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    EXPECT_EQ(GetPrivateProfileIntA("s", "k", 0, file.c_str()), 2u);
    ASSERT_EQ(unlink(file.c_str()), 0);
    EXPECT_EQ(GetPrivateProfileIntA("s", "k", 77, file.c_str()), 77u);
}

// Trust in a kept copy, decided from two stats and the moment of the read.
TEST(ProfileReadingFiles, AKeptCopyIsTrustedOnlyWhenEveryFieldMatchesAndTheFileWasOld)
{
    posix::files::FileIdentity kept;
    kept.device = 1;
    kept.inode = 2;
    kept.size = 3;
    kept.modified = {1000, 5};
    kept.changed = {1000, 7};
    const timespec later = {1002, 7};  // two seconds after the last change
    EXPECT_TRUE(posix::files::StillTheSameFile(kept, later, kept));
    EXPECT_FALSE(posix::files::StillTheSameFile(kept, {1002, 6},
                                                kept));  // changed just under 2 s before
    auto differing = [&](auto change) {
        posix::files::FileIdentity now = kept;
        change(now);
        return posix::files::StillTheSameFile(kept, later, now);
    };
    EXPECT_FALSE(differing([](posix::files::FileIdentity& now) { now.device = 9; }));
    EXPECT_FALSE(differing([](posix::files::FileIdentity& now) { now.inode = 9; }));
    EXPECT_FALSE(differing([](posix::files::FileIdentity& now) { now.size = 9; }));
    EXPECT_FALSE(differing([](posix::files::FileIdentity& now) { now.modified.tv_nsec = 6; }));
    EXPECT_FALSE(differing([](posix::files::FileIdentity& now) { now.changed.tv_sec = 1001; }));
}
#endif

TEST(ProfileReadingFiles, SectionNamesComeAsTheRealCallGivesThem)
{
    TempDir dir;
    std::string file = dir / "t.ini";
    const char content[] = "lead=1\n[ App1 ]\n[]\n[abc]\n[APP1]\n[s]junk\n[a]b]\n[App\0x5]\n";
    WriteFile(file, std::string(content, sizeof content - 1));
    char out[64];
    std::memset(out, 'X', sizeof out);
    const std::string whole("App1\0abc\0APP1\0s\0a]b\0App\0\0", 25);
    const char oneNul[] = "Wine's call ends a cut or empty list with one NUL, where the "
                          "platform's documentation gives two";
    EXPECT_EQ(GetPrivateProfileSectionNamesA(out, sizeof out, file.c_str()), 24u);
    EXPECT_EQ(std::string(out, 25), whole);
    // Too small: the overflowing name is cut, two NULs end the room, the return is size - 2.
    std::memset(out, 'X', sizeof out);
    EXPECT_EQ(GetPrivateProfileSectionNamesA(out, 8, file.c_str()), 6u);
    EXPECT_TRUE(GivesAsThePlatform(std::string(out, 9), std::string("App1\0a\0\0X", 9),
                                   Mark<std::string>({std::string("App1\0a\0XX", 9), oneNul})));
    std::memset(out, 'X', sizeof out);
    EXPECT_EQ(GetPrivateProfileSectionNamesA(out, 2, file.c_str()), 0u);
    EXPECT_TRUE(GivesAsThePlatform(std::string(out, 3), std::string("\0\0X", 3),
                                   Mark<std::string>({std::string("\0XX", 3), oneNul})));
    // A list that fits with no byte to spare counts as cut, as on the real platform.
    WriteFile(file, "[App1]\n[b]\n");
    EXPECT_EQ(GetPrivateProfileSectionNamesA(out, 8, file.c_str()), 6u);
    EXPECT_EQ(GetPrivateProfileSectionNamesA(out, 9, file.c_str()), 7u);
    EXPECT_EQ(std::string(out, 8), std::string("App1\0b\0\0", 8));
    EXPECT_EQ(GetPrivateProfileSectionNamesA(out, sizeof out, (dir / "none").c_str()), 0u);
    EXPECT_TRUE(GivesAsThePlatform(std::string(out, 2), std::string("\0\0", 2),
                                   Mark<std::string>({std::string("\0p", 2), oneNul})));
}

TEST(ProfileReadingFiles, NullSectionOrKeyGivesTheDefault)
{
    TempDir dir;
    WriteFile(dir / "t.ini", "[s]\nk=v\n");
    char out[8] = "";
    // The program never asks for these lists: the stand-in gives the default instead.
    const char list[] = "the real call lists the section names or the section's keys";
    DWORD length = GetPrivateProfileStringA(nullptr, "k", "d", out, sizeof out,
                                            (dir / "t.ini").c_str());
    EXPECT_TRUE(GivesAsThePlatform(std::string(out, length + 1), std::string("d", 2),
                                   Mark<std::string>({std::string("s\0\0", 3), list})));
    length = GetPrivateProfileStringA("s", nullptr, "e", out, sizeof out, (dir / "t.ini").c_str());
    EXPECT_TRUE(GivesAsThePlatform(std::string(out, length + 1), std::string("e", 2),
                                   Mark<std::string>({std::string("k\0\0", 3), list})));
}

TEST(ProfileReadingFiles, OnlyTheFirstSixteenMebibytesAreRead)
{
    TempDir dir;
    std::string file = dir / "big.ini";
    std::string content = "[s]\nearly=1\n";
    content += std::string(16u * 1024u * 1024u, ';');
    content += "\nlate=2\n";
    WriteFile(file, content);
    EXPECT_EQ(GetPrivateProfileIntA("s", "early", 77, file.c_str()), 1u);
    EXPECT_TRUE(GivesAsThePlatform(GetPrivateProfileIntA("s", "late", 77, file.c_str()), 77u,
                                   Mark<unsigned>({2u, "the stand-in bounds its read of a "
                                                       "hostile file; the real call reads all"})));
}

struct IntCase {
    const char* value;
    UINT expected;
};

class ProfileIntReading : public ::testing::TestWithParam<IntCase> {};

TEST_P(ProfileIntReading, ConvertsAsThePlatformDoes)
{
    TempDir dir;
    std::string file = dir / "t.ini";
    WriteFile(file, std::string("[s]\nk=") + GetParam().value + "\n");
    EXPECT_EQ(GetPrivateProfileIntA("s", "k", 77, file.c_str()), GetParam().expected)
        << "k=" << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProfileIntReading,
    ::testing::Values(IntCase{"12", 12}, IntCase{" 12 ", 12}, IntCase{"12abc", 12},
                      IntCase{"\"12\"", 12}, IntCase{"12 ; c", 12}, IntCase{"00012", 12},
                      IntCase{"12.9", 12}, IntCase{"-5", 4294967291u}, IntCase{"+7", 7},
                      IntCase{"0x10", 16}, IntCase{"0X1f", 0}, IntCase{"0x1F", 31},
                      IntCase{"010", 10}, IntCase{"4294967295", 4294967295u},
                      IntCase{"4294967296", 0}, IntCase{"99999999999", 1215752191u},
                      IntCase{"abc", 0}, IntCase{"  -0", 0}, IntCase{"--5", 0}, IntCase{"- 5", 0},
                      IntCase{"1e3", 1}, IntCase{"", 77}, IntCase{"  ", 77}));

TEST(ProfileIntReadingFiles, MissingKeyGivesTheDefault)
{
    TempDir dir;
    WriteFile(dir / "t.ini", "[s]\nk=1\n");
    EXPECT_EQ(GetPrivateProfileIntA("s", "j", 77, (dir / "t.ini").c_str()), 77u);
    EXPECT_EQ(GetPrivateProfileIntA("t", "k", -1, (dir / "t.ini").c_str()), 4294967295u);
}

}  // namespace
