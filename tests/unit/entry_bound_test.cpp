// Where the pass stops: the highest "App<n>" section that the entry lookups could find.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"
#include "run/entry_bound.h"
#include "support/test_support.h"

namespace {

using testing_support::TempDir;
using testing_support::WriteFile;

constexpr UINT kHugeCount = 4294967295u;

struct BoundCase {
    const char* sections;
    UINT count;
    UINT expected;
};

class EntryBound : public ::testing::TestWithParam<BoundCase> {};

TEST_P(EntryBound, StopsAfterTheHighestSectionTheLookupsFind)
{
    TempDir dir;
    WriteFile(dir / "q.ini", std::string("[Quorvel]\nCount=1\n") + GetParam().sections);
    EXPECT_EQ(LastEntryToExamine(GetParam().count, (dir / "q.ini").c_str()), GetParam().expected)
        << GetParam().sections;
}

INSTANTIATE_TEST_SUITE_P(
    Table, EntryBound,
    ::testing::Values(BoundCase{"[App1]\n[App5]\n[app9]\n", kHugeCount, 9},
                      BoundCase{"[App1]\n[App5]\n[app9]\n", 3, 3},
                      BoundCase{"[ APP7 ]\n[App12]x\n", kHugeCount, 12},
                      BoundCase{"[App05]\n[App+5]\n[App 5]\n[App-5]\n[App0]\n[App5x]\n",
                                kHugeCount, 0},
                      BoundCase{"[App4294967295]\n", kHugeCount, kHugeCount},
                      BoundCase{"[App4294967296]\n[App99999999999]\n[App]\n", kHugeCount, 0},
                      BoundCase{"[Quorvel]\n", kHugeCount, 0}));

TEST(EntryBoundFiles, AMissingFileExaminesNothingAndAHugeListIsReadWhole)
{
    TempDir dir;
    EXPECT_EQ(LastEntryToExamine(kHugeCount, (dir / "missing.ini").c_str()), 0u);
    // More names than the first list holds: the list grows until it is whole.
    std::string many;
    for (int n = 1; n <= 20000; ++n) {
        many += "[App" + std::to_string(n) + "]\n";
    }
    WriteFile(dir / "q.ini", many);
    EXPECT_EQ(LastEntryToExamine(kHugeCount, (dir / "q.ini").c_str()), 20000u);
}

}  // namespace
