// The companion program's reading of a configuration: problems of settings files (one file per
// row), the install-log summary, and why a line of switches is refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/entry_report.h"
#include "check/log_summary.h"
#include "check/option_report.h"
#include "check/settings_problems.h"
#include "support/test_support.h"

namespace {

using testing_support::TempDir;

std::string ProblemsOf(const std::string& settings)
{
    TempDir dir;
    std::string path = dir / "s.ini";
    testing_support::WriteFile(path, settings);
    UINT count = GetPrivateProfileIntA("Quorvel", "Count", 0, path.c_str());
    UINT delay = GetPrivateProfileIntA("Quorvel", "Delay", 0, path.c_str());
    std::string text;
    for (const Problem& problem :
         FindSettingsProblems("s.ini", ScanSettingsText(settings), count, delay)) {
        text += problem.where + ": " + problem.text + "\n";
    }
    return text;
}

const std::string kEntry1 = "[App1]\nName=A\nSource=/m/a\nDestination=/i/a\nSetupApp=/bin/sh\n";

TEST(CheckSettingsProblems, OneFilePerRow)
{
    const struct {
        std::string settings;
        std::string expected;  // a whole problem line; "" for a file without problems
    } rows[] = {
        {"[Quorvel]\nCount=1\n" + kEntry1, ""},
        {"[Quorvel]\nCount=-1\n", "s.ini:2: Count=-1 is negative; it reads as 4294967295"},
        {"[Quorvel]\nCount=4294967296\n", "s.ini:2: Count=4294967296 is beyond 32 bits; it "
                                          "reads as 0"},
        {"[Quorvel]\nCount=0x10\n", "s.ini:2: Count=0x10 is not a plain number; it reads as 16"},
        {"[Quorvel]\nCount=1\nDelay=1441\n" + kEntry1, "s.ini:3: Delay=1441 minutes is more "
                                                       "than a day"},
        {"[Quorvel]\nCount=1\n" + kEntry1 + "[App2]\n", "s.ini:8: [App2] is beyond Count=1: it "
                                                        "is never examined"},
        {"[Quorvel]\nCount=3\n" + kEntry1 + "[App3]\nName=C\n",
         "s.ini:2: [App2] is missing below Count=3: the entry is skipped"},
        {"[Quorvel]\nCount=2\n" + kEntry1,
         "s.ini:2: Count=2 but the highest [AppN] section is 1: entries 2 to 2 have no section"},
        {"[Quorvel]\nCount=1\n[App1]\nName=A\nSource=/m/a\nDestinaton=/i/a\nSetupApp=/bin/sh\n",
         "s.ini:6: Destinaton in [App1] is never read; did you mean Destination?"},
        {"[Quorvel]\nCount=1\n" + kEntry1 + "[app1]\n", "s.ini:8: [app1] again: the first, at "
                                                        "line 3, wins and this one is never read"},
        {"[Quorvel]\nCount=1\nCount=2\n" + kEntry1, "s.ini:3: Count again in [Quorvel]: the "
                                                    "first, at line 2, wins"},
        {"[Quorvel]\nCount=1\n[App1]\nName=A\nSource=m/a\nDestination=/i/a\nSetupApp=/bin/sh\n",
         "s.ini:5: Source in [App1] is a relative path: it depends on the working folder"},
        {"[Quorvel]\nCount=1\n[App1]\nName=A\nSource=/m\nDestination=/i\nSetupApp=/no/setup -q\n",
         "s.ini:7: SetupApp in [App1]: the program /no/setup cannot be found"},
        {"[Quorvel]\nCount=1\n[App1]\nName=A\nSource=/m\nDestination=/i\n",
         "s.ini:3: [App1] has no SetupApp: the entry is skipped"},
        {"\xEF\xBB\xBF[Quorvel]\nCount=1\n" + kEntry1,
         "s.ini:1: the file begins with a UTF-8 byte-order mark"},
        {std::string("[Quorvel]\nCount=1\n[App1]\nName=A\0B\n", 34) + kEntry1.substr(14),
         "s.ini:4: a NUL byte: a value ends at it"},
        {"[Quorvel]\nCount 1\n", "s.ini:2: neither a section, a key=value line nor a comment: "
                                 "never read"},
    };
    for (const auto& row : rows) {
        std::string problems = ProblemsOf(row.settings);
        if (row.expected.empty()) {
            EXPECT_EQ(problems, "") << row.settings;
        } else {
            EXPECT_NE(problems.find(row.expected + "\n"), std::string::npos)
                << row.settings << "\n-- found:\n" << problems;
        }
    }
}

// Fields of one CSV record by RFC 4180 (quoted fields may hold commas and doubled quotes).
std::vector<std::string> CsvFields(const std::string& record)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < record.size(); ++i) {
        char c = record[i];
        if (quoted && c == '"' && i + 1 < record.size() && record[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else if (!(c == '\r' || c == '\n') || quoted) {
            fields.back() += c;
        }
    }
    return fields;
}

TEST(CheckEntryTable, EveryRowHasTheHeadersFields)
{
    TempDir dir;
    std::string settings = dir / "s.ini";
    testing_support::WriteFile(dir / "m1", "m");
    testing_support::WriteFile(dir / "i1", "i");
    testing_support::WriteFile(settings, "[App1]\nName=Skipped, \"quoted\"\n"
                                         "[App2]\nName=Due\nSource=" + (dir / "m1") +
                                         "\nDestination=" + (dir / "none") +
                                         "\nSetupApp=setup \"a b\"\n"
                                         "[App3]\nName=Found\nSource=" + (dir / "m1") +
                                         "\nDestination=" + (dir / "?1") + "\nSetupApp=s\n");
    size_t columns = CsvFields(EntryCsvHeader()).size();
    for (UINT n = 1; n <= 3; ++n) {
        std::vector<std::string> fields = CsvFields(EntryCsvRow(ExamineEntry(n, settings)));
        ASSERT_EQ(fields.size(), columns) << n;
        EXPECT_EQ(fields[0], std::to_string(n));
    }
    std::vector<std::string> skipped = CsvFields(EntryCsvRow(ExamineEntry(1, settings)));
    EXPECT_EQ(skipped[1], "Skipped, \"quoted\"");
    EXPECT_EQ(skipped[2], "skipped");
    std::vector<std::string> due = CsvFields(EntryCsvRow(ExamineEntry(2, settings)));
    EXPECT_EQ(due[2], "due");
    EXPECT_EQ(due.back(), "[setup] [a b]");
    std::vector<std::string> found = CsvFields(EntryCsvRow(ExamineEntry(3, settings)));
    EXPECT_EQ(found[5], dir / "i1");  // the pattern's first match, "i1" before "m1"
    EXPECT_EQ(found[6], "2");
}

TEST(CheckLogSummary, LaunchesComputersAndReinstallLoops)
{
    const char* const lines[] = {
        "Mon, 07 Dec 2026 09:00:00  - Notes (\\\\PC1, user ann)",
        "Tue, 08 Dec 2026 09:00:00 GMT - Notes (\\\\PC1, user ann)",
        "Tue, 08 Dec 2026 17:00:00 GMT - Notes (\\\\PC2, user bob)",
        "Wed, 09 Dec 2026 08:59:58 EST - Notes (\\\\PC1, user ann)",
        "Sun, 06 Dec 2026 10:00:00  - Phone - Book",  // short form, a Name with " - "
        "Sun, 06 Dec 2026 11:00:00  - Phone - Book",
        "Sun, 06 Dec 2026 12:00:00  - Phone - Book (\\\\PC3, user cy)",
        "garbage",
        "Xyz, 06 Foo 2026 12:00:00  - Bad month",
    };
    LogSummary summary;
    for (const char* line : lines) {
        AddLogLine(line, &summary);
    }
    EXPECT_EQ(summary.unparsed, 2u);
    const ApplicationSummary& notes = summary.applications.at("Notes");
    EXPECT_EQ(notes.launches, 4u);
    EXPECT_EQ(notes.computers.size(), 2u);
    EXPECT_EQ(notes.first, "2026-12-07 09:00:00");
    EXPECT_EQ(notes.last, "2026-12-09 08:59:58");
    const ApplicationSummary& phones = summary.applications.at("Phone - Book");
    EXPECT_EQ(phones.launches, 3u);  // three launches, but on one day: no loop
    EXPECT_EQ(CountReinstallLoops(summary), 1u);
    EXPECT_NE(LogSummaryText("x.log", summary).find("3 different days on \\\\PC1"),
              std::string::npos);
}

TEST(CheckSwitchReplay, RefusalsSayWhichItemAndWhy)
{
    const struct {
        const char* line;
        const char* item;
        const char* why;  // the start of the reason
    } rows[] = {
        {"/log /ini=/srv/q.ini", "/ini", "/ini needs a value; an unquoted '/' starts"},
        {"/ini=a.ini/b", "/b", "not a switch of the log-on program"},
        {"/log setup", "setup", "a bare value"},
        {"/x", "/x", "not a switch of the log-on program (it knows /log, /ini and /install)"},
    };
    for (const auto& row : rows) {
        OptionReport report;
        EXPECT_FALSE(ReplaySwitchLine(row.line, "command tail", &report)) << row.line;
        EXPECT_EQ(report.refusedItem, row.item) << row.line;
        EXPECT_EQ(report.refusedWhy.rfind(row.why, 0), 0u) << report.refusedWhy;
    }
    OptionReport report;
    EXPECT_TRUE(ReplaySwitchLine("/LOG-=\"/srv/my log\" /install /ini=q.ini", "tail", &report));
    EXPECT_FALSE(report.logOn);
    EXPECT_EQ(report.logPath, "/srv/my log");
    EXPECT_EQ(report.settingsPath, "q.ini");
    EXPECT_EQ(report.registrations, std::vector<std::string>{"tail"});
}

}  // namespace
