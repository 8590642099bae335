// ExpandVariables: the "%NAME%" rule over the process environment, as the run and the
// companion apply it to an entry's values.
#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"
#include "update/expand_variables.h"

namespace {

using testing_support::ScopedEnvironmentVariable;

TEST(ExpandVariables, OneValuePerRow)
{
    ScopedEnvironmentVariable apps("QV_APPS", "/home/u/.local/apps");
    ScopedEnvironmentVariable empty("QV_EMPTY", "");
    ScopedEnvironmentVariable percent("QV_PERCENT", "%QV_APPS%");
    ScopedEnvironmentVariable wide("QV_WIDE", std::string(200, 'w').c_str());
    const struct {
        std::string written;
        bool fits;
        std::string expanded;
    } rows[] = {
        {"%QV_APPS%/notes/notes.exe", true, "/home/u/.local/apps/notes/notes.exe"},
        {"%QV_APPS%%QV_APPS%", true, "/home/u/.local/apps/home/u/.local/apps"},
        {"/opt/%QV_UNSET%/x", true, "/opt/%QV_UNSET%/x"},  // not set: kept as written
        {"%qv_apps%/x", true, "%qv_apps%/x"},              // names are case-sensitive here
        {"a%QV_EMPTY%b", true, "ab"},                      // set but empty
        {"%QV_EMPTY%", true, ""},
        {"100%%/x", true, "100%%/x"},                        // the empty name is never set
        {"50% of %QV_APPS%", true, "50% of %QV_APPS%"},      // "% of " is the name tried
        {"%QV_UNSET%QV_APPS%", true, "%QV_UNSET%QV_APPS%"},  // reading goes on after the pair
        {"%QV_APPS", true, "%QV_APPS"},                      // nothing closes it
        {"%QV_PERCENT%", true, "%QV_APPS%"},                 // a value is not expanded again
        {"%A=B%", true, "%A=B%"},
        {"/x/%QV_WIDE%", true, "/x/" + std::string(200, 'w')},
        {"%QV_WIDE%/%QV_WIDE%", false, ""},  // 401 characters: too long
        {std::string(259, 'p'), true, std::string(259, 'p')},
    };
    for (const auto& row : rows) {
        char out[MAX_PATH];
        EXPECT_EQ(ExpandEntryValue(row.written.c_str(), out), row.fits) << row.written;
        EXPECT_EQ(std::string(out), row.expanded) << row.written;
    }
}

TEST(ExpandVariables, AnEntryThatExpandsToNothingOrTooLongDropsOut)
{
    ScopedEnvironmentVariable apps("QV_APPS", "/apps");
    ScopedEnvironmentVariable wide("QV_WIDE", std::string(300, 'w').c_str());
    AppEntry entry{"App1", "%QV_APPS%", "%QV_APPS%/m", "%QV_APPS%/i", "%QV_APPS%/setup -q"};
    EXPECT_TRUE(ExpandEntryFields(&entry));
    EXPECT_STREQ(entry.name, "%QV_APPS%");  // the name is the log's text, never expanded
    EXPECT_STREQ(entry.source, "/apps/m");
    EXPECT_STREQ(entry.destination, "/apps/i");
    EXPECT_STREQ(entry.setupApp, "/apps/setup -q");
    AppEntry tooLong{"App2", "N", "/m", "%QV_WIDE%", "s"};
    EXPECT_FALSE(ExpandEntryFields(&tooLong));
    EXPECT_STREQ(tooLong.destination, "");
}

}  // namespace
