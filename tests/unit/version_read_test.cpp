// Reading version resources from toolchain-built PE32 and PE32+ programs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/known_difference.h"
#include "support/pe_fixture.h"
#include "support/test_support.h"
#include "version_test_util.h"

using testing_support::GivesAsThePlatform;
using testing_support::kOnTheRealPlatform;
using testing_support::Mark;
using testing_support::PeKind;
using testing_support::TempDir;
using testing_support::VersionQuad;

namespace {

class VersionReadTest : public ::testing::TestWithParam<PeKind> {};

TEST_P(VersionReadTest, ReadsTheBuiltQuadruple)
{
    TempDir dir;
    const std::string path = dir / "built.exe";
    testing_support::WriteFile(path, testing_support::ReadPeFixture(GetParam()));
    EXPECT_EQ(QueryVersionQuad(path), testing_support::kBuiltFixtureVersion);
}

TEST_P(VersionReadTest, ReadsPatchedQuadruples)
{
    TempDir dir;
    const VersionQuad cases[] = {
        {0, 0, 0, 0},
        {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF},
        {0x00020001, 0x00000000, 0x00010000, 0x00000005},
        {0x80000000, 0x00000001, 0x7FFFFFFF, 0xFFFFFFFE},
    };
    for (const VersionQuad& quad : cases) {
        const std::string path = dir / "patched.exe";
        testing_support::WritePeWithVersion(path, quad, GetParam());
        EXPECT_EQ(QueryVersionQuad(path), quad);
    }
}

INSTANTIATE_TEST_SUITE_P(BothWidths, VersionReadTest,
                         ::testing::Values(PeKind::Pe32, PeKind::Pe32Plus),
                         [](const ::testing::TestParamInfo<PeKind>& param) {
                             return param.param == PeKind::Pe32 ? "Pe32" : "Pe32Plus";
                         });

TEST(VersionRead, TheSizeIsTheBlockAndTheHandleIsZeroed)
{
    TempDir dir;
    const std::string path = dir / "v.exe";
    testing_support::WritePeWithVersion(path, {1, 2, 3, 4});
    DWORD handle = 77;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    EXPECT_EQ(handle, 0u);
    ASSERT_GE(size, 40u + sizeof(VS_FIXEDFILEINFO));
    std::vector<unsigned char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
    // The block begins with its own length, as the size call reported it.
    const DWORD blockLength = static_cast<DWORD>(block[0] | (block[1] << 8));
    EXPECT_TRUE(GivesAsThePlatform(size, blockLength,
                                   Mark<DWORD>({2 * blockLength + 4,
                                                "the real call asks room "
                                                "for a converted copy of the block too"})));
    LPVOID value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
    EXPECT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* bytes = static_cast<unsigned char*>(value);
    EXPECT_GE(bytes, block.data());
    EXPECT_LE(bytes + length, block.data() + block.size());
    EXPECT_EQ(static_cast<const VS_FIXEDFILEINFO*>(value)->dwSignature, 0xFEEF04BDu);
}

TEST(VersionRead, FilesWithoutAVersionResourceGiveZero)
{
    TempDir dir;
    testing_support::WritePeWithoutVersion(dir / "plain.exe");
    testing_support::WriteFile(dir / "text.exe", "MZ but nothing after it");
    testing_support::WriteFile(dir / "empty.exe", "");
    ASSERT_TRUE(std::filesystem::create_directory(dir / "folder"));
    std::vector<const char*> names = {"plain.exe", "text.exe", "empty.exe", "folder", "missing"};
#ifndef _WIN32                                           // Windows has no named pipe in a folder
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);  // must not block the open
    names.push_back("pipe");
#endif
    for (const char* name : names) {
        DWORD handle = 5;
        EXPECT_EQ(GetFileVersionInfoSizeA((dir / name).c_str(), &handle), 0u) << name;
        EXPECT_EQ(handle, 0u) << name;
        unsigned char block[256] = {};
        EXPECT_FALSE(GetFileVersionInfoA((dir / name).c_str(), 0, sizeof block, block)) << name;
    }
    EXPECT_EQ(GetFileVersionInfoSizeA(nullptr, nullptr), 0u);
}

TEST(VersionRead, ABlockSmallerThanTheResourceIsFilledWithinItsSize)
{
    if (kOnTheRealPlatform) {
        // Not run there: a query of a block filled short reads outside the caller's buffer.
        GTEST_SKIP() << "the real calls fill any size given and the query then trusts the "
                        "block's own length, reading past the buffer (the program always gives "
                        "the size reported)";
    }
    TempDir dir;
    const std::string path = dir / "v.exe";
    testing_support::WritePeWithVersion(path, {9, 8, 7, 6});
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), nullptr);
    ASSERT_GT(size, 92u);
    // 40 bytes of header and key, then the 52-byte value: 92 holds it, 91 does not.
    for (DWORD given : {DWORD{5}, DWORD{6}, DWORD{60}, DWORD{91}, DWORD{92}, size - 1}) {
        std::vector<unsigned char> block(size + 16, 0xCC);
        BOOL filled = GetFileVersionInfoA(path.c_str(), 0, given, block.data());
        EXPECT_EQ(filled != FALSE, given >= 6) << given;
        for (size_t i = given; i < block.size(); ++i) {
            ASSERT_EQ(block[i], 0xCC) << "written past the given size " << given;
        }
        if (!filled) {
            continue;
        }
        LPVOID value = nullptr;
        UINT length = 0;
        BOOL found = VerQueryValueA(block.data(), "\\", &value, &length);
        EXPECT_EQ(found != FALSE, given >= 92) << given;
        if (found) {
            EXPECT_EQ(length, 52u);
            EXPECT_LE(static_cast<unsigned char*>(value) + length, block.data() + given);
            EXPECT_EQ(static_cast<const VS_FIXEDFILEINFO*>(value)->dwFileVersionMS, 9u);
        }
    }
}

TEST(VersionRead, OnlyTheRootCanBeQueried)
{
    TempDir dir;
    const std::string path = dir / "v.exe";
    testing_support::WritePeWithVersion(path, {1, 2, 3, 4});
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), nullptr);
    std::vector<unsigned char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
    // The program asks only for the root; the real query answers these paths too.
    const char paths[] = "the real query also answers the string and translation paths";
    const struct {
        const char* sub;
        Mark<bool> found;
        Mark<UINT> length;
    } rows[] = {
        {"\\StringFileInfo\\040904B0\\FileVersion", {{true, paths}}, {{8u, paths}}},
        {"\\VarFileInfo\\Translation", {{true, paths}}, {{4u, paths}}},
        {"x", {}, {}},
    };
    for (const auto& row : rows) {
        LPVOID value = reinterpret_cast<LPVOID>(1);
        UINT length = 9;
        const bool found = VerQueryValueA(block.data(), row.sub, &value, &length) != FALSE;
        EXPECT_TRUE(GivesAsThePlatform(found, false, row.found)) << row.sub;
        EXPECT_TRUE(GivesAsThePlatform(length, 0u, row.length)) << row.sub;
        if (!found) {
            EXPECT_TRUE(GivesAsThePlatform(value == nullptr, true,
                                           Mark<bool>({false, "a failing real query leaves "
                                                              "the pointer as it was"})));
        }
    }
    LPVOID value = nullptr;
    EXPECT_TRUE(GivesAsThePlatform(VerQueryValueA(block.data(), "\\", &value, nullptr) != FALSE,
                                   false, Mark<bool>({true, "the real query needs no length"})));
    EXPECT_FALSE(VerQueryValueA(nullptr, "\\", &value, nullptr));
}

// POSIX only: the stand-in's kept file and its reads, counted in /proc.
#ifndef _WIN32
unsigned long long ReadCharCount()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    unsigned long long value = 0;
    while (io >> key >> value) {
        if (key == "rchar:") {
            return value;
        }
    }
    return 0;
}

size_t CountOpenDescriptors()
{
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        static_cast<void>(entry);
        ++count;
    }
    return count;
}

// A search of an exact path leaves the file open for the version calls on that path: they read
// the very file whose stamp it gave, and the next search sees whatever the path names by then.
TEST(VersionRead, AfterASearchTheVersionIsThatOfTheFileFound)
{
    TempDir dir;
    const std::string path = dir / "v.exe";
    testing_support::WritePeWithVersion(path, {1, 0, 0, 0});
    testing_support::WritePeWithVersion(dir / "next.exe", {2, 0, 0, 0});
    WIN32_FIND_DATAA data;
    auto search = [&data](const std::string& name) {
        HANDLE found = FindFirstFileA(name.c_str(), &data);
        return found != INVALID_HANDLE_VALUE && FindClose(found);
    };
    ASSERT_TRUE(search(path));
    ASSERT_EQ(rename((dir / "next.exe").c_str(), path.c_str()), 0);
    EXPECT_EQ(QueryVersionQuad(path), (VersionQuad{1, 0, 0, 0}));
    ASSERT_TRUE(search(path));
    EXPECT_EQ(QueryVersionQuad(path), (VersionQuad{2, 0, 0, 0}));

    ASSERT_TRUE(search(path));
    ASSERT_EQ(unlink(path.c_str()), 0);
    EXPECT_EQ(QueryVersionQuad(path), (VersionQuad{2, 0, 0, 0}));
    EXPECT_FALSE(search(path));
    EXPECT_EQ(QueryVersionQuad(path), std::nullopt);

    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    ASSERT_TRUE(search(path));
    EXPECT_EQ(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(QueryVersionQuad(path), std::nullopt);

    // Files searched but never read are not all kept open: a decision needs two.
    size_t before = CountOpenDescriptors();
    for (int i = 0; i < 5; ++i) {
        std::string other = dir / ("o" + std::to_string(i) + ".exe");
        testing_support::WriteFile(other, "MZ");
        ASSERT_TRUE(search(other));
    }
    EXPECT_LE(CountOpenDescriptors(), before + 2);
}

// The reader asks for the headers, the directory path and the block, never the whole file.
TEST(VersionRead, AHugeFileIsReadOnlyWhereNeeded)
{
    TempDir dir;
    const std::string path = dir / "huge.exe";
    testing_support::WritePeWithVersion(path, {0x00030001, 2, 3, 4});
    constexpr off_t kOneGiB = off_t{1} << 30;
    ASSERT_EQ(truncate(path.c_str(), kOneGiB), 0);  // sparse: no disk space is used

    const unsigned long long before = ReadCharCount();
    ASSERT_GT(before, 0u) << "/proc/self/io gives no rchar";
    std::optional<VersionQuad> quad = QueryVersionQuad(path);
    const unsigned long long after = ReadCharCount();
    EXPECT_EQ(quad, (VersionQuad{0x00030001, 2, 3, 4}));
    EXPECT_LT(after - before, 256u * 1024u);
}
#endif

}  // namespace
