#include <gtest/gtest.h>
#include "cmdline/command_line.h"
TEST(CommandLine, Placeholder) { CommandLine c("/log"); EXPECT_EQ(c.count, 1); }
