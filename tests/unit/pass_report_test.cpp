// The pass report: its rows for each verdict and start, its file name, its bound, and the
// replacement of the file in a folder others write.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/report_file.h"
#include "support/test_support.h"
#include "update/pass_report.h"
#include "update/report_file_name.h"
#include "version.h"

namespace {

using testing_support::CsvFields;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

const PassFields kPass{"2026-12-08 09:00:00", "PC0042", "alice", "/srv/q/Quorvel.ini"};

EntryOutcome Outcome(UINT n, const char* name, EntryVerdict verdict, DecidingStep step)
{
    EntryOutcome outcome;
    outcome.n = n;
    std::strcpy(outcome.entry.name, name);
    std::strcpy(outcome.entry.source, "/m/x");
    std::strcpy(outcome.entry.destination, "/i/x");
    std::strcpy(outcome.entry.setupApp, "setup");
    outcome.verdict = verdict;
    outcome.evidence.step = step;
    return outcome;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

TEST(PassReportRows, OneRowPerVerdictAndStart)
{
    EntryOutcome started = Outcome(1, "Notes, \"team\"", EntryVerdict::Due,
                                   DecidingStep::VersionsDiffer);
    started.evidence.destination = {true, true, {0x5D62, 0x5000, "x"},
                                    100,  true, {0x10000, 0, 0, 0}};
    started.evidence.source = {true, true, {0x5D63, 0x6000, "x"}, 100, true, {0x20003, 4, 0, 0}};
    started.start = StartResult::Started;
    EntryOutcome refused = Outcome(2, "Admin only", EntryVerdict::Due,
                                   DecidingStep::DestinationNotFound);
    refused.start = StartResult::Failed;
    refused.startError = 740;
    EntryOutcome skipped = Outcome(5, "Half", EntryVerdict::Skipped,
                                   DecidingStep::DestinationNotFound);
    skipped.entry.setupApp[0] = '\0';
    skipped.entry.source[0] = '\0';
    const struct {
        EntryOutcome outcome;
        std::string fields;  // Entry to StartError, joined by '|'
    } rows[] = {
        {started, "1|Notes, \"team\"|due|Source has a higher version|versions differ|1.0.0.0|"
                  "2026-11-02 10:00:00|2.3.0.4|2026-11-03 12:00:00|started|"},
        {refused, "2|Admin only|due|Destination not found|destination not found|||||failed|740"},
        {Outcome(3, "Same", EntryVerdict::Current, DecidingStep::DatesDecide),
         "3|Same|current|Source not written later|dates decide||||||"},
        {Outcome(4, "Gone", EntryVerdict::NotDue, DecidingStep::SourceNotFound),
         "4|Gone|not due|Source not found|source not found||||||"},
        {skipped, "5|Half|skipped|empty key: Source SetupApp|||||||"},
        {Outcome(6, "Busy", EntryVerdict::InProgress, DecidingStep::DestinationNotFound),
         "6|Busy|in progress|an earlier setup is still running|destination not found||||||"},
    };
    for (const auto& row : rows) {
        PassReport report;
        report.Begin("/reports", kPass);
        report.AddEntry(row.outcome);
        auto lines = Lines(report.Compose(true, "2026-12-08 09:00:05"));
        ASSERT_EQ(lines.size(), 3u);
        auto header = CsvFields(lines[0]);
        auto pass = CsvFields(lines[1]);
        auto fields = CsvFields(lines[2]);
        ASSERT_EQ(fields.size(), header.size()) << row.fields;
        ASSERT_EQ(pass.size(), header.size());
        EXPECT_EQ(pass[7] + "|" + pass[10], "pass|complete");
        EXPECT_EQ((std::vector<std::string>(fields.begin(), fields.begin() + 8)),
                  (std::vector<std::string>{"1", QUORVEL_VERSION_TEXT, "2026-12-08 09:00:00",
                                            "2026-12-08 09:00:05", "PC0042", "alice",
                                            "/srv/q/Quorvel.ini", "entry"}));
        std::string joined;
        for (size_t i = 8; i < fields.size(); ++i) {
            joined += (i > 8 ? "|" : "") + fields[i];
        }
        EXPECT_EQ(joined, row.fields);
    }
}

TEST(PassReportRows, AStoppedPassAndTheSizeBound)
{
    PassReport report;
    report.Begin("/reports", kPass);
    auto stopped = CsvFields(Lines(report.Compose(false, "x"))[1]);
    EXPECT_EQ(stopped[7] + "|" + stopped[10] + "|" + stopped[11], "pass|stopped|");
    std::string longName(259, 'n');
    for (UINT n = 1; n <= 2000; ++n) {
        report.AddEntry(Outcome(n, longName.c_str(), EntryVerdict::Current,
                                DecidingStep::DatesDecide));
    }
    std::string text = report.Compose(true, "2026-12-08 09:00:05");
    EXPECT_LE(text.size(), kReportEntryBytes + 1024);
    auto lines = Lines(text);
    size_t kept = lines.size() - 2;
    EXPECT_GT(kept, 100u);
    EXPECT_EQ(CsvFields(lines[1])[11],
              std::to_string(2000 - kept) + " entries left out: the report's size bound");
    EXPECT_EQ(CsvFields(lines.back())[8], std::to_string(kept));  // the first ones are kept
}

TEST(PassReportRows, NoFolderOrNoNameCollectsNothing)
{
    PassReport report;
    report.Begin("", kPass);
    EXPECT_FALSE(report.Active());
    report.Begin("/reports", PassFields{"t", "PC1", "", "s"});
    EXPECT_FALSE(report.Active());
}

TEST(ReportFileNames, MadeSafeForAnyFileSystem)
{
    const struct {
        const char* computer;
        const char* user;
        const char* expected;
    } rows[] = {
        {"PC0042", "alice", "PC0042.alice.csv"},
        {"WS1", "SYSTEM", "WS1.SYSTEM.csv"},
        {"PC1", "DOMAIN\\bob", "PC1.DOMAIN_bob.csv"},
        {"PC1", "../../etc/x", "PC1.______etc_x.csv"},
        {"PC1", "a:b*c?d\"e<f>g|h", "PC1.a_b_c_d_e_f_g_h.csv"},
        {"PC1", "j\xC3\xB6rg", "PC1.j__rg.csv"},
        {"PC1", ".hidden", "PC1._hidden.csv"},
        {"con", "x", "_con.x.csv"},
        {"LPT1", "x", "_LPT1.x.csv"},
        {"CONSOLE", "x", "CONSOLE.x.csv"},
        {"", "x", ""},
        {"PC1", "", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ReportFileName(row.computer, row.user), row.expected) << row.user;
    }
}

std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

TEST(ReportFileReplacement, ReplacesWholeAndNeverThroughALink)
{
    TempDir dir;
    // A new report, then its replacement: only the report is left, with the new bytes.
    ASSERT_TRUE(ReplaceReportFile(dir.path().c_str(), "PC.u.csv", "old", 3));
    ASSERT_TRUE(ReplaceReportFile((dir.path() + "/").c_str(), "PC.u.csv", "new!", 4));
    EXPECT_EQ(ReadFile(dir / "PC.u.csv"), "new!");
    EXPECT_EQ(FolderNames(dir.path()), std::vector<std::string>{"PC.u.csv"});
    // A link planted at the report's name is replaced; the file it names is untouched.
    WriteFile(dir / "victim", "keep");
    ASSERT_EQ(symlink((dir / "victim").c_str(), (dir / "PC.v.csv").c_str()), 0);
    ASSERT_TRUE(ReplaceReportFile(dir.path().c_str(), "PC.v.csv", "mine", 4));
    EXPECT_EQ(ReadFile(dir / "victim"), "keep");
    struct stat seen;
    ASSERT_EQ(lstat((dir / "PC.v.csv").c_str(), &seen), 0);
    EXPECT_TRUE(S_ISREG(seen.st_mode));
    EXPECT_EQ(ReadFile(dir / "PC.v.csv"), "mine");
}

TEST(ReportFileReplacement, AFailureLeavesTheOldReportAndNoTemporaryFile)
{
    TempDir dir;
    EXPECT_FALSE(ReplaceReportFile((dir / "missing").c_str(), "PC.u.csv", "x", 1));
    std::string longFolder = dir / std::string(240, 'f');
    EXPECT_FALSE(ReplaceReportFile(longFolder.c_str(), "PC.u.csv", "x", 1));
    // The report's name taken by a folder: the rename fails and the temporary file goes.
    std::filesystem::create_directory(dir / "PC.d.csv");
    EXPECT_FALSE(ReplaceReportFile(dir.path().c_str(), "PC.d.csv", "x", 1));
    EXPECT_EQ(FolderNames(dir.path()), std::vector<std::string>{"PC.d.csv"});
}

}  // namespace
