// Find-first and find-next over exact names and patterns, and the FILETIME to MS-DOS conversions.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/win32.h"
#include "support/test_support.h"

namespace {

using testing_support::TempDir;
using testing_support::WriteFile;

// The name the search reports, or "" when it finds nothing.
std::string FirstFound(const std::string& pattern, DWORD* attributes = nullptr)
{
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        return "";
    }
    FindClose(search);
    if (attributes != nullptr) {
        *attributes = data.dwFileAttributes;
    }
    return data.cFileName;
}

// Every name the search delivers, first and next ones, joined by blanks.
std::string AllFound(const std::string& pattern)
{
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        return "";
    }
    std::string names = data.cFileName;
    while (FindNextFileA(search, &data)) {
        names += std::string(" ") + data.cFileName;
    }
    FindClose(search);
    return names;
}

TEST(FindFirst, ExactNamesAndPatterns)
{
    TempDir dir;
    WriteFile(dir / "b.txt", "b");
    WriteFile(dir / "a.txt", "a");
    WriteFile(dir / "ab.tx1", "x");
    WriteFile(dir / ".hidden", "h");
    std::filesystem::create_directory(dir / "sub");

    const struct {
        std::string pattern;
        std::string found;
    } rows[] = {
        {dir / "a.txt", "a.txt"},
        {dir / "sub", "sub"},
        {dir / "sub/", ""},
        {dir / "a.txt/", ""},
        {dir / "missing", ""},
        {dir / "missing/a.txt", ""},
        {"\"" + (dir / "a.txt") + "\"", ""},
        {dir / "*", ". .. .hidden a.txt ab.tx1 b.txt sub"},
        {dir / "?.txt", "a.txt b.txt"},
        {dir / "a.tx?", "a.txt"},
        {dir / "a*", "a.txt ab.tx1"},
        {dir / "*.tx1", "ab.tx1"},
        {dir / "b*", "b.txt"},
        {dir / "*.none", ""},
        {dir / ".h*", ".hidden"},
        {dir.path() + "/*/a.txt", ""},  // wildcards only act in the last component
        {"", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(AllFound(row.pattern), row.found) << row.pattern;
    }
}

TEST(FindFirst, AttributesOfFoldersHiddenAndReadOnlyFiles)
{
    TempDir dir;
    WriteFile(dir / ".hidden", "h");
    WriteFile(dir / "ro", "r");
    using std::filesystem::perms;
    std::filesystem::permissions(dir / "ro",
                                 perms::owner_read | perms::group_read | perms::others_read);
    std::filesystem::create_directory(dir / "sub");
    DWORD attributes = 0;
    FirstFound(dir / "sub", &attributes);
    EXPECT_EQ(attributes & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
    FirstFound(dir / ".hidden", &attributes);
    EXPECT_EQ(attributes & FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN);
    FirstFound(dir / "ro", &attributes);
    EXPECT_EQ(attributes & FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY);
}

FILETIME FromTicks(uint64_t ticks)
{
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

constexpr uint64_t kTicksPerSecond = 10000000;
constexpr uint64_t k1980 = 119600064000000000ull;  // 1980-01-01 00:00:00

TEST(DosDateTime, WordsForKnownMoments)
{
    const struct {
        uint64_t ticks;
        bool converts;
        WORD date;
        WORD time;
    } rows[] = {
        {k1980, true, (0 << 9) | (1 << 5) | 1, 0},
        // 2026-12-06 09:12:45 becomes 09:12:44: seconds are cut to even values.
        {k1980 + (17141ull * 86400 + 9 * 3600 + 12 * 60 + 45) * kTicksPerSecond, true,
         (46 << 9) | (12 << 5) | 6, (9 << 11) | (12 << 5) | 22},
        // 2000-02-29 23:59:59, a leap day.
        {k1980 + (7364ull * 86400 + 86399) * kTicksPerSecond, true, (20 << 9) | (2 << 5) | 29,
         (23 << 11) | (59 << 5) | 29},
        {k1980 - kTicksPerSecond, false, 0x1234, 0x5678},
    };
    for (const auto& row : rows) {
        FILETIME time = FromTicks(row.ticks);
        WORD date = 0x1234;
        WORD dosTime = 0x5678;
        EXPECT_EQ(FileTimeToDosDateTime(&time, &date, &dosTime) != FALSE, row.converts);
        EXPECT_EQ(date, row.date) << row.ticks;
        EXPECT_EQ(dosTime, row.time) << row.ticks;
    }
}

TEST(DosDateTime, LocalConversionKeepsTheOrderOfMoments)
{
    // The same offset applies to every moment, so a winter and a summer moment stay apart by
    // exactly the time between them.
    FILETIME winter = FromTicks(k1980 + 17000ull * 86400 * kTicksPerSecond);
    FILETIME summer = FromTicks(k1980 + 17180ull * 86400 * kTicksPerSecond);
    FILETIME localWinter;
    FILETIME localSummer;
    ASSERT_TRUE(FileTimeToLocalFileTime(&winter, &localWinter));
    ASSERT_TRUE(FileTimeToLocalFileTime(&summer, &localSummer));
    auto ticks = [](const FILETIME& t) {
        return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    EXPECT_EQ(ticks(localSummer) - ticks(localWinter), 180ull * 86400 * kTicksPerSecond);
}

}  // namespace
