// Where the pass stops: the highest "App<n>" section that the entry lookups could find.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

const std::vector<BoundCase>& BoundCases()
{
    static const std::vector<BoundCase> cases = {
        {"[App1]\n[App5]\n[app9]\n", kHugeCount, 9},
        {"[App1]\n[App5]\n[app9]\n", 3, 3},
        {"[ APP7 ]\n[App12]x\n", kHugeCount, 12},
        {"[App05]\n[App+5]\n[App 5]\n[App-5]\n[App0]\n[App5x]\n", kHugeCount, 0},
        {"[App4294967295]\n", kHugeCount, kHugeCount},
        {"[App4294967296]\n[App99999999999]\n[App]\n", kHugeCount, 0},
        {"[Quorvel]\n", kHugeCount, 0},
    };
    return cases;
}

class EntryBound : public ::testing::TestWithParam<size_t> {};

TEST_P(EntryBound, StopsAfterTheHighestSectionTheLookupsFind)
{
    const BoundCase& c = BoundCases()[GetParam()];
    TempDir dir;
    WriteFile(dir / "q.ini", std::string("[Quorvel]\nCount=1\n") + c.sections);
    EXPECT_EQ(LastEntryToExamine(c.count, (dir / "q.ini").c_str()), c.expected) << c.sections;
}

INSTANTIATE_TEST_SUITE_P(Table, EntryBound, ::testing::Range<size_t>(0, BoundCases().size()));

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
