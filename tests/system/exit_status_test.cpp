// Exit statuses of whole runs: refused lines give 1, complete passes 0.
#include "system/system_fixture.h"

namespace system_tests {
namespace {

class ExitStatus : public SystemTest {};

TEST_F(ExitStatus, RefusedCommandTailsExitWithOne)
{
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"/ini"}, {"/ini="}, {"/x"}, {"setup"}, {"/"},
                                                {"/log", "/bogus"}}) {
        EXPECT_EQ(Run(args).exitStatus, 1) << args.back();
    }
}

TEST_F(ExitStatus, CompletePassesExitWithZero)
{
    EXPECT_EQ(Run({}).exitStatus, 0);
    EXPECT_EQ(Run({"/LOG-"}).exitStatus, 0);
    EXPECT_EQ(Run({"/ini=" + Visible("some dir/a.ini")}).exitStatus, 0);
}

TEST_F(ExitStatus, RefusedOptionsFileLineStopsTheRunBeforeTheLogIsOpened)
{
    WriteOptionsFile("/log\r\n/nonsense\r\n");
    EXPECT_EQ(Run({}).exitStatus, 1);
    EXPECT_FALSE(testing_support::FileExists(DefaultLog()));
}

}  // namespace
}  // namespace system_tests
