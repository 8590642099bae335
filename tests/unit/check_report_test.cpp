// The companion program's reading of a configuration: findings of settings files and of entries
// (one file or file layout per row), the log and the registration, the install-log summary,
// why a line of switches is refused, and its own switches.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "check/check_driver.h"
#include "check/entry_findings.h"
#include "check/entry_report.h"
#include "check/log_summary.h"
#include "check/moment.h"
#include "check/option_report.h"
#include "check/registration_report.h"
#include "check/settings_problems.h"
#include "check/text_format.h"
#include "check/visible_text.h"
#include "support/pe_fixture.h"
#include "support/test_support.h"
#include "text/argv_tail.h"
#include "update/expand_variables.h"
#include "version.h"

namespace {

using testing_support::CsvFields;
using testing_support::ScopedEnvironmentVariable;
using testing_support::TempDir;
using testing_support::WriteFile;

// Problems one a line, then notes, each note's line starting "note: ".
std::string FindingsText(const Findings& findings)
{
    std::string text;
    for (const Finding& problem : findings.problems) {
        text += problem.where + ": " + problem.text + "\n";
    }
    for (const Finding& note : findings.notes) {
        text += "note: " + note.where + ": " + note.text + "\n";
    }
    return text;
}

// A row's expected finding: a whole line of FindingsText (or of a report), or "" for no problem.
void ExpectFinding(const std::string& found, const std::string& expected, const std::string& row)
{
    if (expected.empty()) {
        EXPECT_EQ(found.substr(0, found.find("note: ")), "") << row;
    } else {
        EXPECT_NE(found.find(expected + "\n"), std::string::npos) << row << "\n-- found:\n"
                                                                  << found;
    }
}

std::string ProblemsOf(const std::string& settings)
{
    TempDir dir;
    std::string path = dir / "s.ini";
    WriteFile(path, settings);
    UINT count = GetPrivateProfileIntA("Quorvel", "Count", 0, path.c_str());
    UINT delay = GetPrivateProfileIntA("Quorvel", "Delay", 0, path.c_str());
    return FindingsText(FindSettingsProblems("s.ini", ScanSettingsText(settings), count, delay,
                                             ReadSpreadSetting(path.c_str()),
                                             ReadExpandVariables(path.c_str())));
}

const std::string kEntry1 = "[App1]\nName=A\nSource=/m/a\nDestination=/i/a\nSetupApp=/bin/sh\n";
const char kCurrentFolder[] = "it is taken from the current folder (at log-on on a desktop, "
                              "the home folder)";

TEST(CheckSettingsProblems, OneFilePerRow)
{
    ScopedEnvironmentVariable site("QV_SITE", "/srv/apps");
    ScopedEnvironmentVariable windows("QV_WIN", "C:\\m");
    const std::string kAppA = "[App1]\nName=A\nSource=";
    // clang-format off
    const struct {
        std::string settings;
        std::string expected;  // a whole finding line; "" for a file without problems
    } rows[] = {
        {"[Quorvel]\nCount=1\n" + kEntry1, ""},
        {"[Quorvel]\nCount=1\nReportFolder=/tmp\n" + kEntry1, ""},
        {"[Quorvel]\nCount=1\nReportFolder=/nonexistent/reports\n" + kEntry1,
         "s.ini:3: ReportFolder /nonexistent/reports does not exist here: the pass writes no "
         "report"},
        {"[Quorvel]\nCount=-1\n", "s.ini:2: Count=-1 is negative; it reads as 4294967295"},
        {"[Quorvel]\nCount=4294967296\n", "s.ini:2: Count=4294967296 is beyond 32 bits; it "
                                          "reads as 0"},
        {"[Quorvel]\nCount=0x10\n", "s.ini:2: Count=0x10 is not a plain number; it reads as 16"},
        {"[Quorvel]\nCount=1\nDelay=1441\n" + kEntry1, "s.ini:3: Delay=1441 minutes is more "
                                                       "than a day"},
        {"[Quorvel]\nCount=1\nSpreadSeconds=3600\n" + kEntry1, ""},
        {"[Quorvel]\nCount=1\nSpreadSeconds=3601\n" + kEntry1, "s.ini:3: SpreadSeconds=3601 is "
                                                              "more than 3600: the run takes it "
                                                              "as 3600"},
        {"[Quorvel]\nCount=1\nSpreadSeconds=-1\n" + kEntry1, "s.ini:3: SpreadSeconds=-1 is "
                                                            "negative; it reads as 4294967295"},
        {"[Quorvel]\nCount=1\nSkipRunningSetups=1\n" + kEntry1, ""},
        {"[Quorvel]\nCount=1\nSkipRunningSetups=yes\n" + kEntry1, "s.ini:3: SkipRunningSetups=yes "
                                                                "is not a plain number; it reads "
                                                                "as 0"},
        {"[Quorvel]\nCount=1\nSpreadSecond=60\n" + kEntry1, "s.ini:3: SpreadSecond in [Quorvel] "
                                                           "is never read; did you mean "
                                                           "SpreadSeconds?"},
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
        {"[Quorvel]\nCount=1\n[App1]\nName=A\nSource=/m\nDestination=/i\n",
         "s.ini:3: [App1] has no SetupApp: the entry is skipped"},
        {"\xEF\xBB\xBF[Quorvel]\nCount=1\n" + kEntry1,
         "s.ini:1: the file begins with a UTF-8 byte-order mark"},
        {std::string("[Quorvel]\nCount=1\n[App1]\nName=A\0B\n", 34) + kEntry1.substr(14),
         "s.ini:4: a NUL byte: a value ends at it"},
        {"[Quorvel]\nCount 1\n", "s.ini:2: neither a section, a key=value line nor a comment: "
                                 "never read"},
        // Section names the pass does not read as an entry.
        {"[Quorvel]\nCount=5\n[App05]\nName=E\n", "s.ini:3: [App05] is not read as entry 5: the "
                                                  "pass reads entry 5 from a section named [App5]"},
        {"[Quorvel]\nCount=5\n[ App 5 ]\nName=E\n", "s.ini:3: [App 5] is not read as entry 5: "
                                                    "the pass reads entry 5 from a section named "
                                                    "[App5]"},
        {"[Quorvel]\nCount=1\n" + kEntry1 + "[App0]\n", "s.ini:8: [App0] is never read: entries "
                                                        "are numbered from 1"},
        // Relative paths are a documented way of working; Windows paths name relative files.
        {"[Quorvel]\nCount=1\n" + kAppA + "m/a\nDestination=/i/a\nSetupApp=/bin/sh\n",
         std::string("note: s.ini:5: Source in [App1] is a relative path: ") + kCurrentFolder},
        {"[Quorvel]\nCount=1\n" + kAppA + "/m/a\nDestination=a\nSetupApp=./setup.sh -q\n",
         geteuid() == 0
             ? std::string("s.ini:7: SetupApp in [App1] starts its program by a relative path: ") +
                   kCurrentFolder + ", and whoever can write there runs a program as root or "
                                    "SYSTEM: give the program's full path"
             : std::string("note: s.ini:7: SetupApp in [App1] starts its program by a relative "
                           "path: ") + kCurrentFolder},
        // With ExpandVariables, paths are looked at as expanded; without it, literally.
        {"[Quorvel]\nCount=1\nExpandVariables=1\n" + kAppA + "%QV_WIN%\\a\nDestination=/i/a\n"
         "SetupApp=%QV_SITE%/setup\n",
         "s.ini:6: Source in [App1] is a Windows path: here C:\\m\\a names a file of that name "
         "in the current folder (at log-on on a desktop, the home folder)"},
        {"[Quorvel]\nCount=1\n" + kAppA + "%QV_SITE%/a\nDestination=/i/a\nSetupApp=/bin/sh\n",
         std::string("note: s.ini:5: Source in [App1] is a relative path: ") + kCurrentFolder},
        {"[Quorvel]\nCount=1\n" + kAppA + "C:\\m\\a\nDestination=/i/a\nSetupApp=/bin/sh\n",
         "s.ini:5: Source in [App1] is a Windows path: here C:\\m\\a names a file of that name in "
         "the current folder (at log-on on a desktop, the home folder)"},
        {"[Quorvel]\nCount=1\n" + kAppA + "/m\nDestination=\\\\srv\\share\\a\nSetupApp=/bin/sh\n",
         "s.ini:6: Destination in [App1] is a Windows path: here \\\\srv\\share\\a names a file "
         "of that name in the current folder (at log-on on a desktop, the home folder)"},
    };
    // clang-format on
    for (const auto& row : rows) {
        ExpectFinding(ProblemsOf(row.settings), row.expected, row.settings);
    }
}

// One entry over a file layout: `files` maps a name in the folder ("@" in the values) to its
// content and mode; a name ending in '/' is a folder, "pe" content a versioned program.
struct EntryLayout {
    std::map<std::string, std::pair<std::string, mode_t>> files;
    std::string source, destination, setupApp;
    std::string expected;  // a whole finding line, with "@" for the folder
};

std::string Placed(std::string text, const std::string& folder)
{
    for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + 1)) {
        text.replace(at, 1, folder);
    }
    return text;
}

TEST(CheckEntryFindings, OneLayoutPerRow)
{
    const std::pair<std::string, mode_t> kScript = {"#!/bin/sh\nexit 0\n", 0755};
    // clang-format off
    const EntryLayout rows[] = {
        {{{"i", {"i", 0644}}}, "@/m", "@/i", "/bin/true",
         "s.ini:3: Source in [App1] (A) names @/m, which cannot be found: no such file; while "
         "it cannot, the entry is never due"},
        {{{"i", {"i", 0644}}}, "@/share/apps/m", "@/i", "/bin/true",
         "s.ini:3: Source in [App1] (A) names @/share/apps/m, which cannot be found: its folder "
         "@/share/apps does not exist: is a share not mounted or not reachable? (@ exists, "
         "nothing below it); while it cannot, the entry is never due"},
        {{{"i", {"i", 0644}}, {"m/", {"", 0755}}}, "@/m/*.exe", "@/i", "/bin/true",
         "s.ini:3: Source in [App1] (A) names @/m/*.exe, which cannot be found: no name in @/m "
         "matches the pattern; while it cannot, the entry is never due"},
        {{{"i", {"i", 0644}}}, "@/i/m", "@/i", "/bin/true",
         "s.ini:3: Source in [App1] (A) names @/i/m, which cannot be found: a part of the path "
         "is a file, not a folder; while it cannot, the entry is never due"},
        {{}, "@/m", "@/opt/notes/i", "/bin/true",
         "note: s.ini:4: Destination in [App1] (A) names @/opt/notes/i, which does not exist, "
         "nor does its folder: the setup program may not be able to create it"},
        {{{"i", {"i", 0644}}, {"m/", {"", 0755}}, {"m/app.exe", {"pe", 0644}}}, "@/m/a*", "@/i",
         "/bin/true",
         "note: s.ini:3: Source in [App1] (A) is a pattern: the match taken is @/m/app.exe; "
         "versions are not read through a pattern, so its date and time decide"},
        {{{"setup", {"#!/bin/sh\n", 0644}}}, "@/m", "@/i", "@/setup -q",
         "s.ini:5: SetupApp in [App1] (A) cannot start: @/setup is not executable (mode 0644): "
         "allow it with chmod +x, or name its interpreter first"},
        {{{"setup", {"#!/no/such/sh\n", 0755}}}, "@/m", "@/i", "@/setup",
         "s.ini:5: SetupApp in [App1] (A) cannot start: @/setup is a script whose interpreter "
         "line names /no/such/sh, which does not exist"},
        {{{"setup", {"#!/bin/sh\r\nexit 0\r\n", 0755}}}, "@/m", "@/i", "@/setup",
         "s.ini:5: SetupApp in [App1] (A) cannot start: @/setup ends its interpreter line in a "
         "carriage return (saved with Windows line ends), so it names \"/bin/sh\\r\", which "
         "does not exist: save it with LF line ends"},
        {{{"setup/", {"", 0755}}}, "@/m", "@/i", "@/setup",
         "s.ini:5: SetupApp in [App1] (A) cannot start: @/setup is a folder, not a program"},
        // /bin/sh reads whatever it is given, NUL bytes or not; a run as root gives it nothing.
        {{{"setup.exe", {std::string("MZ\x90\0\3\0", 6), 0755}}}, "@/m", "@/i", "@/setup.exe",
         geteuid() == 0 ? "s.ini:5: SetupApp in [App1] (A) cannot start: @/setup.exe is no "
                          "program of this system and has no interpreter line: exec refuses it, "
                          "and a run as root hands it to no shell: begin it with an interpreter "
                          "line (#!/bin/sh)"
                        : "note: s.ini:5: SetupApp in [App1] (A): @/setup.exe: no interpreter "
                          "line: run by /bin/sh, which reads it as commands although it holds "
                          "NUL bytes"},
        {{{"setup", {"exit 0\n", 0755}}}, "@/m", "@/i", "@/setup",
         geteuid() == 0 ? "s.ini:5: SetupApp in [App1] (A) cannot start: @/setup is no program "
                          "of this system and has no interpreter line: exec refuses it, and a "
                          "run as root hands it to no shell: begin it with an interpreter line "
                          "(#!/bin/sh)"
                        : "note: s.ini:5: SetupApp in [App1] (A): @/setup: no interpreter line: "
                          "run by /bin/sh"},
        // Whoever can create "@/my" runs it in the program's place, as anyone and as root.
        {{{"my tools/", {"", 0755}}, {"my tools/setup", kScript}}, "@/m", "@/i",
         "@/my tools/setup -q",
         "s.ini:5: SetupApp in [App1] (A): unquoted path with a blank: anyone who can create "
         "@/my runs a program in its place. Quote the program: \"PATH\" ARGUMENTS"},
        {{{"my tools/", {"", 0755}}, {"my tools/setup", kScript}}, "@/m", "@/i",
         "\"\"@/my tools/setup\" \"a b\"\"", ""},
        {{{"my tools/", {"", 0755}}, {"my tools/setup", kScript}}, "@/m", "@/i",
         "\"@/my tools/setup\" -q \"a b\"",
         "s.ini:5: SetupApp in [App1] (A) begins and ends with a double quote, and the settings "
         "reading removes that pair: the command line used is @/my tools/setup\" -q \"a b, "
         "which cannot start. Quote only the program and let the value end unquoted, or "
         "enclose the whole value in one more pair of quotes (the reading removes only that "
         "pair)"},
        {{}, "@/m", "@/i", "quorvel-no-such-setup -q",
         "s.ini:5: SetupApp in [App1] (A) cannot start: no folder of PATH (/bin) holds "
         "quorvel-no-such-setup"},
    };
    // clang-format on
    ScopedEnvironmentVariable path("PATH", "/bin");
    for (const EntryLayout& row : rows) {
        TempDir dir;
        for (const auto& file : row.files) {
            std::string name = dir / file.first;
            if (name.back() == '/') {
                mkdir(name.c_str(), file.second.second);
            } else if (file.second.first == "pe") {
                testing_support::WritePeWithVersion(name, testing_support::kBuiltFixtureVersion);
            } else {
                WriteFile(name, file.second.first);
                chmod(name.c_str(), file.second.second);
            }
        }
        std::string settings = "[App1]\nName=A\nSource=" + Placed(row.source, dir.path()) +
                               "\nDestination=" + Placed(row.destination, dir.path()) +
                               "\nSetupApp=" + Placed(row.setupApp, dir.path()) + "\n";
        WriteFile(dir / "s.ini", settings);
        EntryResult result = ExamineEntry(1, dir / "s.ini", false);
        std::string found = FindingsText(FindEntryFindings(result, ScanSettingsText(settings),
                                                           "s.ini", false));
        ExpectFinding(found, Placed(row.expected, dir.path()), settings);
        if (row.source.find('*') != std::string::npos && result.evidence.source.found) {
            EXPECT_NE(EntryText(result).find("the match itself has file version 1.2.3.4"),
                      std::string::npos)
                << EntryText(result);
        }
    }
}

// A program named without a folder is searched in PATH, where an empty or relative entry
// stands for a folder below the current one: a problem for the machine pass, a note otherwise.
TEST(CheckEntryFindings, RelativePathEntriesForAProgramWithoutAFolder)
{
    ScopedEnvironmentVariable path("PATH", ":bin:/bin");
    TempDir dir;
    std::string settings = "[App1]\nName=A\nSource=" + (dir / "m") +
                           "\nDestination=" + (dir / "i") + "\nSetupApp=true\n";
    WriteFile(dir / "s.ini", settings);
    std::string text = "s.ini:5: SetupApp in [App1] (A): names its program without a folder, "
                       "and PATH holds an empty entry, \"bin\", which stand for folders "
                       "relative to the current one: whoever can write there can run a "
                       "program in its place";
    for (bool machinePass : {false, true}) {
        std::string found = FindingsText(FindEntryFindings(ExamineEntry(1, dir / "s.ini", false),
                                                           ScanSettingsText(settings), "s.ini",
                                                           machinePass));
        ExpectFinding(found,
                      machinePass ? text + " (a run as root or SYSTEM searches none of them)"
                                  : "note: " + text,
                      settings);
    }
}

TEST(CheckEntryTable, EveryRowHasTheHeadersFields)
{
    TempDir dir;
    std::string settings = dir / "s.ini";
    WriteFile(dir / "m1", "m");
    WriteFile(dir / "i1", "i");
    WriteFile(settings, "[App1]\nName=Skipped, \"quoted\"\n"
                        "[App2]\nName=Due\nSource=" +
                            (dir / "m1") + "\nDestination=" + (dir / "none") +
                            "\nSetupApp=sh \"a b\"\n"
                            "[App3]\nName=Found\nSource=" +
                            (dir / "m1") + "\nDestination=" + (dir / "?1") +
                            "\nSetupApp=s\n"
                            "[App4]\nName=No master\nSource=" +
                            (dir / "none") + "\nDestination=" + (dir / "i1") + "\nSetupApp=s\n");
    size_t columns = CsvFields(EntryCsvHeader()).size();
    std::vector<std::vector<std::string>> rows;
    for (UINT n = 1; n <= 4; ++n) {
        rows.push_back(CsvFields(EntryCsvRow(ExamineEntry(n, settings, false), 90)));
        ASSERT_EQ(rows.back().size(), columns) << n;
        EXPECT_EQ(rows.back()[0], std::to_string(n));
        EXPECT_EQ(rows.back()[columns - 1], "90");  // the waits before the pass
    }
    EXPECT_EQ(rows[0][1], "Skipped, \"quoted\"");
    EXPECT_EQ(rows[0][2], "skipped");
    EXPECT_EQ(rows[1][2], "due");
    EXPECT_EQ(rows[1][columns - 5], "[sh] [a b]");
    EXPECT_EQ(rows[1][columns - 3], "yes");
    EXPECT_EQ(rows[2][5], dir / "i1");  // the pattern's first match, "i1" before "m1"
    EXPECT_EQ(rows[2][6], "2");
    EXPECT_EQ(rows[3][2], "not due: Source not found");
    EXPECT_EQ(rows[3][12], "not found: no such file");
    EXPECT_EQ(rows[3][columns - 3], "no");
}

TEST(CheckLogFindings, ACreatedLogTakesItsFoldersBits)
{
    TempDir dir;
    const std::string owner = getpwuid(geteuid())->pw_name;
    const struct {
        mode_t folderMode;
        bool logExists;
        std::string note;  // "" for none
    } rows[] = {
        {0755, false,
         "a log this user's run creates takes mode 0644 from its folder (mode "
         "0755): only this user's runs could add lines to it; for a shared log "
         "give the folder mode 2775 and a group of every user, or 1777"},
        {02775, false, ""},
        {0755, true,
         "only its owner " + owner +
             " can add lines (mode 0644): other users' runs "
             "drop theirs"},
        {01777, true, ""},
    };
    for (const auto& row : rows) {
        std::string folder = dir / ("logs" + std::to_string(&row - rows));
        mkdir(folder.c_str(), 0700);
        chmod(folder.c_str(), row.folderMode);
        OptionReport options;
        options.settingsPath = dir / "s.ini";
        options.logPath = folder + "/Quorvel.log";
        if (row.logExists) {
            WriteFile(options.logPath, "");
            chmod(options.logPath.c_str(), row.folderMode & 0666);
        }
        std::string found = FindingsText(FindFileProblems(options, true, false));
        if (row.note.empty()) {
            EXPECT_EQ(found, "") << row.folderMode;
        } else {
            ExpectFinding(found, "note: " + options.logPath + ": " + row.note, row.note);
        }
    }
}

// Logs that no run writes to, or that drop other users' lines, are each a problem; so is a
// log whose end another process keeps locked, with the time the check waited.
TEST(CheckLogFindings, LogsTheRunsRefuseOrCannotShareAreProblems)
{
    TempDir dir;
    const std::string victim = dir / "victim";
    WriteFile(victim, "");
    const struct {
        const char* name;
        std::function<void(const std::string&)> make;
        std::string problem;
    } rows[] = {
        {"link",
         [&](const std::string& log) { ASSERT_EQ(symlink(victim.c_str(), log.c_str()), 0); },
         "the log is a symbolic link, which no run writes to: every line is dropped. Remove "
         "it; a run creates the log afresh"},
        {"fifo", [&](const std::string& log) { ASSERT_EQ(mkfifo(log.c_str(), 0666), 0); },
         "the log is a FIFO, which no run writes to: every line is dropped. Remove it; a run "
         "creates the log afresh"},
        {"hardlink",
         [&](const std::string& log) { ASSERT_EQ(link(victim.c_str(), log.c_str()), 0); },
         "the log has 2 names (hard links), so it may be another file linked in: no run writes "
         "to it, and every line is dropped. Remove this name; a run creates the log afresh"},
        {"huge",
         [&](const std::string& log) {
             WriteFile(log, "");
             EXPECT_EQ(truncate(log.c_str(), off_t{1} << 40), 0);  // a sparse 1 TiB
         },
         "the log holds 1048576 MiB, more than a log of one line per setup ever should: a "
         "sparse or padded file, or years of lines. Move it aside; a run creates the log "
         "afresh"},
    };
    for (const auto& row : rows) {
        OptionReport options;
        options.settingsPath = dir / "s.ini";
        options.logPath = dir / (std::string(row.name) + ".log");
        row.make(options.logPath);
        ExpectFinding(FindingsText(FindFileProblems(options, true, false)),
                      options.logPath + ": " + row.problem, row.name);
        unlink(options.logPath.c_str());
    }
    // A log of another user's that only its owner may write (run as root, nobody's log).
    const passwd* nobody = getpwnam("nobody");
    if (geteuid() == 0 && nobody != nullptr) {
        OptionReport owned;
        owned.settingsPath = dir / "s.ini";
        owned.logPath = dir / "owned.log";
        WriteFile(owned.logPath, "");
        chmod(owned.logPath.c_str(), 0600);
        ASSERT_EQ(chown(owned.logPath.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        ExpectFinding(FindingsText(FindFileProblems(owned, true, false)),
                      owned.logPath + ": the log belongs to nobody with mode 0600, which shuts "
                                      "every other user out: their runs drop their lines. "
                                      "Remove it, or give it the folder's group and mode 0664",
                      "owned");
    }
    // Another process keeps the end locked: the check waits as long as a run's pass would.
    OptionReport options;
    options.settingsPath = dir / "s.ini";
    options.logPath = dir / "locked.log";
    WriteFile(options.logPath, "x\r\n");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t holder = fork();
    if (holder == 0) {
        int fd = open(options.logPath.c_str(), O_RDONLY);
        struct flock region {};
        region.l_type = F_RDLCK;  // read access is enough to hold a writer back
        region.l_whence = SEEK_SET;
        char ok = fd >= 0 && fcntl(fd, F_SETLK, &region) == 0 ? '1' : '0';
        ssize_t written = write(ready[1], &ok, 1);
        sleep(8);
        _exit(written == 1 ? 0 : 1);
    }
    char ok = '0';
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');
    std::string found = FindingsText(FindFileProblems(options, true, false));
    kill(holder, SIGTERM);
    waitpid(holder, nullptr, 0);
    EXPECT_NE(found.find(options.logPath + ": another process keeps the log's end locked: the "
                                           "check waited 4."),
              std::string::npos)
        << found;
}

// The run line of a WIN.INI under a fresh HOME, autostart folders of a fresh XDG tree.
TEST(CheckRegistration, EachRowsRunLineAndAutostartEntries)
{
    TempDir dir;
    ScopedEnvironmentVariable home("HOME", dir.path().c_str());
    ScopedEnvironmentVariable configHome("XDG_CONFIG_HOME", (dir / "user").c_str());
    ScopedEnvironmentVariable configDirs("XDG_CONFIG_DIRS", (dir / "system").c_str());
    mkdir((dir / ".config").c_str(), 0755);
    for (const char* folder :
         {"user", "user/autostart", "system", "system/autostart", "bin", "my apps"}) {
        mkdir((dir / folder).c_str(), 0755);
    }
    WriteFile(dir / "bin/quorvel", "");
    WriteFile(dir / "my apps/quorvel", "");
    const std::string program = dir / "bin/quorvel";
    const std::string spaced = dir / "my apps/quorvel";
    const std::string entry = "[Desktop Entry]\nType=Application\nExec=";
    const struct {
        std::string program, runLine, userEntry, systemEntry;
        bool install;
        std::string expected;  // a whole finding line, or a line of the report's text
    } rows[] = {
        {program, program + " x " + program, "", "", false,
         "run line: it holds quorvel 2 times: /install replaces only the first; keep one"},
        {program, dir / "old/quorvel", "", "", false,
         "run line: its entry " + (dir / "old/quorvel") +
             " names no existing file: it starts "
             "nothing"},
        {spaced, (dir / "my") + " " + spaced, "", "", false,
         "run line: its entries from " + (dir / "my") + " to apps/quorvel are the pieces of " +
             spaced +
             ", a path with a blank or a comma, which the run line cannot hold: install "
             "it in a folder whose path has neither, or place an autostart entry for it in "
             "/etc/xdg/autostart"},
        {spaced, (dir / "my") + " " + spaced, "", "", false,
         "run line: its entry " + (dir / "my") + " is a fragment left of " + spaced +
             ", whose blank or comma the run line cannot hold: remove it"},
        {spaced, (dir / "my") + " " + spaced, "", "", false,
         "note: " + spaced +
             ": the program's path holds a blank or a comma, which the run line "
             "cannot hold: /install would register it in pieces; install it in a folder whose path "
             "has neither, or place an autostart entry for it in /etc/xdg/autostart"},
        {spaced, "", "", "", true,
         spaced +
             ": the program's path holds a blank or a comma, which the run line cannot "
             "hold: /install would register it in pieces; install it in a folder whose path has "
             "neither, or place an autostart entry for it in /etc/xdg/autostart"},
        {program, "", "", entry + "\"" + program + "\"\n", false,
         "  autostart      " + (dir / "system/autostart/quorvel.desktop") + ": starts " + program},
        {program, "", entry + "/usr/bin/quorvel\nHidden=true\n", entry + program + "\n", false,
         "  autostart      " + (dir / "user/autostart/quorvel.desktop") +
             ": hidden "
             "(Hidden=true): it starts nothing, nor does an entry of this name in the folders "
             "after "
             "it"},
        {program, "", "", entry + "/no/quorvel\n", false,
         (dir / "system/autostart/quorvel.desktop") + ": it starts /no/quorvel, which does not "
                                                      "exist"},
        {program, "", "", "", false,
         "note: registration: nothing starts quorvel at log-on for this user: run quorvel "
         "/install as the user"},
    };
    for (const auto& row : rows) {
        WriteFile(dir / ".config/win.ini", "[windows]\nrun=" + row.runLine + "\n");
        for (const auto& autostart : {std::make_pair(row.userEntry, "user/autostart/"),
                                      std::make_pair(row.systemEntry, "system/autostart/")}) {
            std::string path = dir / (std::string(autostart.second) + "quorvel.desktop");
            unlink(path.c_str());
            if (!autostart.first.empty()) {
                WriteFile(path, autostart.first);
            }
        }
        OptionReport options;
        if (row.install) {
            options.registrations.push_back("command tail");
        }
        RegistrationReport report = ReportRegistration(options, row.program);
        ExpectFinding(report.text + FindingsText(report.findings), row.expected, row.runLine);
    }
    // Neither asked for nor in the run line (the program is started another way): no word.
    WriteFile(dir / ".config/win.ini", "[windows]\nrun=\n");
    std::string quiet = FindingsText(ReportRegistration(OptionReport{}, spaced).findings);
    EXPECT_EQ(quiet.find("in pieces"), std::string::npos) << quiet;
}

TEST(CheckLogSummary, LaunchesComputersUsersAndLines)
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
        "Sun, 06 Dec 2026 12:00:00 G M T - Blank in the zone",
    };
    LogSummary summary;
    unsigned number = 0;
    for (const char* line : lines) {
        summary.AddLine(line, ++number);
    }
    EXPECT_EQ(summary.unparsed, 3u);
    auto applications = summary.Applications();
    ASSERT_EQ(applications.size(), 2u);
    const LogSummary::Application& notes = applications[0];
    EXPECT_EQ(notes.launches, 4u);
    EXPECT_EQ(notes.computers, 2u);
    EXPECT_EQ(notes.users, 2u);
    EXPECT_EQ(FormatMoment(notes.first), "2026-12-07 09:00:00");
    EXPECT_EQ(FormatMoment(notes.last), "2026-12-09 08:59:58");
    EXPECT_EQ(notes.perDay, (std::map<uint32_t, unsigned long long>{
                                {20261207, 1}, {20261208, 2}, {20261209, 1}}));
    EXPECT_EQ(applications[1].name, "Phone - Book");
    EXPECT_EQ(summary.ComputersLastSeen().at("PC1"), 20261209085958u);
    LogSummary::BusiestHour busiest = summary.Busiest();
    EXPECT_EQ(busiest.launches, 1u);
    std::string text = LogSummaryText("x.log", summary);
    for (const char* expected : {"Notes: 4 launches on 2 computers by 2 users",
                                 "Phone - Book: 3 launches on 1 computer by 1 user",
                                 "master not found in the settings file: re-install loops not "
                                 "judged",
                                 "lines not understood: 3 (lines 8, 9, 10)\n"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }
}

// The loop rule: three starts on one computer for one master. A computer that received v1, v2
// and v3 on three days was started once for each master.
TEST(CheckLogSummary, AReinstallLoopIsThreeStartsForOneMaster)
{
    auto line = [](const char* day, const char* computer) {
        return std::string(day) + " 2026 09:00:00  - Notes (\\\\" + computer + ", user u)";
    };
    const struct {
        Moment master;        // the settings file's master moment; 0: unknown
        Moment reportMaster;  // PC1's own report's master moment; 0: none
        std::vector<std::string> lines;
        std::string loops;  // "computer:starts" of each loop
    } rows[] = {
        // v1, v2 and v3 on three days, the last master written before the third.
        {20261203080000u,
         0,
         {line("Tue, 01 Dec", "PC1"), line("Wed, 02 Dec", "PC1"), line("Thu, 03 Dec", "PC1")},
         ""},
        // The same master started on three days, and again on a fourth.
        {20261130080000u,
         0,
         {line("Tue, 01 Dec", "PC1"), line("Wed, 02 Dec", "PC1"), line("Thu, 03 Dec", "PC1"),
          line("Fri, 04 Dec", "PC2"), line("Sat, 05 Dec", "PC1")},
         "PC1:4"},
        // Three starts at the master's own second count; one before it does not.
        {20261202090000u,
         0,
         {line("Tue, 01 Dec", "PC1"), line("Wed, 02 Dec", "PC1"), line("Thu, 03 Dec", "PC1")},
         ""},
        {20261201090000u,
         0,
         {line("Tue, 01 Dec", "PC1"), line("Wed, 02 Dec", "PC1"), line("Thu, 03 Dec", "PC1")},
         "PC1:3"},
        // No master known: not judged, however many starts.
        {0,
         0,
         {line("Tue, 01 Dec", "PC1"), line("Wed, 02 Dec", "PC1"), line("Thu, 03 Dec", "PC1")},
         ""},
        // PC1's report names the master it saw, later than the settings file's.
        {20261130080000u,
         20261202080000u,
         {line("Tue, 01 Dec", "PC1"), line("Wed, 02 Dec", "PC1"), line("Thu, 03 Dec", "PC1")},
         ""},
    };
    for (const auto& row : rows) {
        LogSummary summary;
        if (row.master != 0) {
            summary.SetMaster("Notes", row.master);
        }
        if (row.reportMaster != 0) {
            summary.SetMasterOn("Notes", "PC1", row.reportMaster);
        }
        unsigned long long number = 0;
        for (const std::string& text : row.lines) {
            summary.AddLine(text, ++number);
        }
        std::string loops;
        auto applications = summary.Applications();
        for (const auto& loop : applications.at(0).loops) {
            loops += (loops.empty() ? "" : " ") + loop.computer + ":" + std::to_string(loop.starts);
        }
        EXPECT_EQ(loops, row.loops) << row.lines.size() << " lines, master " << row.master;
        EXPECT_EQ(summary.CountLoops(), row.loops.empty() ? 0u : 1u);
    }
}

// The log is streamed in bounded lines: a line across read blocks, a line past the cap, a
// last line without its end, and a log past the size bound or not a regular file.
TEST(CheckLogSummary, StreamsBoundedLinesOfRegularFilesOnly)
{
    TempDir dir;
    std::string good = "Tue, 01 Dec 2026 09:00:00  - Notes (\\\\PC1, user u)\r\n";
    std::string text;
    while (text.size() < (1u << 20) - 20) {
        text += good;
    }
    size_t lines = text.size() / good.size();
    text.resize((1u << 20) - 20);  // a line cut by the end of the first block...
    text += good.substr(text.size() % good.size()) + std::string(5000, 'x') + "\n" +
            good.substr(0, good.size() - 2);
    WriteFile(dir / "log", text);
    LogSummary summary;
    LogReading reading = SummariseLog(dir / "log", 1u << 30, &summary);
    ASSERT_TRUE(reading.read) << reading.why;
    EXPECT_EQ(summary.understood, lines + 1);
    EXPECT_EQ(summary.unparsed, 1u);
    EXPECT_EQ(summary.unparsedLines, std::vector<unsigned long long>{lines + 1});

    LogSummary capped;
    reading = SummariseLog(dir / "log", 1000, &capped);
    EXPECT_FALSE(reading.read);
    EXPECT_TRUE(reading.capReached);
    EXPECT_EQ(capped.understood, 0u);
    EXPECT_FALSE(SummariseLog(dir.path(), 1u << 30, &capped).read);
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    reading = SummariseLog(dir / "fifo", 1u << 30, &capped);  // must not wait for a writer
    EXPECT_EQ(reading.why, "not a regular file");
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
        {"\"/ini=/srv/q.ini\"", "\"/ini=/srv/q.ini\"",
         "a bare value, not a switch: quote only "
         "a switch's value (/ini=\"...\")"},
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

TEST(CheckWaits, DelayAndSpreadAsTheRunReadsThem)
{
    TempDir dir;
    const struct {
        std::string keys;
        std::string expected;  // lines of the report's configuration
    } rows[] = {
        {"", "  Delay          0: no wait\n  SpreadSeconds  0: no spread\n"},
        {"Delay=2\nSpreadSeconds=90\n",
         "  SpreadSeconds  90: then a random wait of 0 to 89.999 seconds, drawn anew at every "
         "run\n  longest wait   210 seconds in all (Delay plus spread) before the first entry\n"},
        {"SpreadSeconds=5000\n", "  SpreadSeconds  5000, taken as 3600: then a random wait of 0 "
                                 "to 3599.999 seconds"},
    };
    for (const auto& row : rows) {
        WriteFile(dir / "s.ini", "[Quorvel]\n" + row.keys);
        std::vector<std::string> arguments = {"/log-", "/ini=" + (dir / "s.ini")};
        std::string out;
        RunCheck(arguments, BuildCommandTail(arguments), BuildCommandTail, &out);
        EXPECT_NE(out.find(row.expected), std::string::npos) << row.keys << out;
    }
}

TEST(CheckOwnSwitches, HelpVersionAndRefusals)
{
    TempDir dir;
    WriteFile(dir / "q.log", "Sun, 06 Dec 2026 10:00:00  - Notes (\\\\PC1, user ann)\r\n");
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string starts;  // the output's beginning
    } rows[] = {
        {{"--help"}, 0, "Usage: quorvel-check"},
        {{"-h"}, 0, "Usage: quorvel-check"},
        {{"/?"}, 0, "Usage: quorvel-check"},
        {{"--version"}, 0, std::string("quorvel-check ") + QUORVEL_VERSION_TEXT + "\n"},
        {{"/VERSION"}, 0, std::string("quorvel-check ") + QUORVEL_VERSION_TEXT + "\n"},
        {{"/versions"}, 1, "quorvel-check: /versions needs at least one file\n\nUsage:"},
        {{"/csv", "/log-summary=" + (dir / "q.log")},
         0,
         "Application,Launches,Computers,Users,FirstLaunch,LastLaunch,MasterWritten,"
         "ReinstallLoops\r\nNotes,1,1,1,"},
        {{"/log-summary=" + (dir / "q.log"), "/max-log-mb=x"},
         1,
         "quorvel-check: /max-log-mb=x: megabytes from 1 to 16777216\n\nUsage:"},
        {{"/site"}, 1, "quorvel-check: /site: a value is needed\n\nUsage:"},
        {{"/site=" + dir.path(), "/stale-days=0"},
         1,
         "quorvel-check: /stale-days=0: days from 1 to 36500\n\nUsage:"},
    };
    for (const auto& row : rows) {
        std::string out;
        EXPECT_EQ(RunCheck(row.arguments, BuildCommandTail(row.arguments), BuildCommandTail, &out),
                  row.status)
            << row.arguments[0];
        EXPECT_EQ(out.rfind(row.starts, 0), 0u) << out;
    }
}

// What the files hold reaches the terminal only as visible text: control bytes, C1 controls,
// bidi controls and invalid bytes are escaped; printable text of any script is not.
TEST(CheckVisibleText, EveryHiddenCharacterIsEscapedTheSameWay)
{
    const struct {
        std::string text, utf8Shown, ansiShown;
    } rows[] = {
        {"plain \xC3\xA9t\xC3\xA9 \xE2\x82\xAC\n", "plain \xC3\xA9t\xC3\xA9 \xE2\x82\xAC\n",
         "plain \xC3\xA9t\xC3\xA9 \xE2\x82\xAC\n"},
        {"a\x1B[31mb\tc\x7F", "a<0x1B>[31mb<0x09>c<0x7F>", "a<0x1B>[31mb<0x09>c<0x7F>"},
        {"line\r\nlone\rcr", "line\r\nlone<0x0D>cr", "line\r\nlone<0x0D>cr"},
        {"c1 \xC2\x9B"
         "31m \xC2\x9D"
         "0;x\x07",
         "c1 <U+009B>31m <U+009D>0;x<0x07>",
         "c1 \xC2\x9B"
         "31m \xC2\x9D"
         "0;x<0x07>"},
        {"raw \x9B"
         "31m",
         "raw <0x9B>31m",
         "raw \x9B"
         "31m"},
        {"gpj.\xE2\x80\xAE"
         "exe",
         "gpj.<U+202E>exe",
         "gpj.\xE2\x80\xAE"
         "exe"},
        {"\xE2\x81\xA6x\xE2\x81\xA9 \xE2\x80\x8F", "<U+2066>x<U+2069> <U+200F>",
         "\xE2\x81\xA6x\xE2\x81\xA9 \xE2\x80\x8F"},
        {"cut \xE2\x82", "cut <0xE2><0x82>", "cut \xE2\x82"},
        {"overlong \xC0\xAF", "overlong <0xC0><0xAF>", "overlong \xC0\xAF"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(VisibleText(row.text, true), row.utf8Shown) << row.text;
        EXPECT_EQ(VisibleText(row.text, false), row.ansiShown) << row.text;
    }
}

// A CSV cell that a spreadsheet would take for a formula reads back as text.
TEST(CheckCsv, FormulaCellsAreMadeInert)
{
    EXPECT_EQ(CsvCell("=HYPERLINK(\"x\")"), "\"'=HYPERLINK(\"\"x\"\")\"");
    EXPECT_EQ(CsvCell("+1"), "\"'+1\"");
    EXPECT_EQ(CsvCell("-2+3"), "\"'-2+3\"");
    EXPECT_EQ(CsvCell("@SUM(A1)"), "\"'@SUM(A1)\"");
    EXPECT_EQ(CsvCell("\t=1"), "\"'\t=1\"");
    EXPECT_EQ(CsvCell("a=b"), "a=b");
    EXPECT_EQ(CsvCell("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvFields(CsvCell("=1+1") + "," + CsvCell("x") + "\r\n"),
              (std::vector<std::string>{"'=1+1", "x"}));
}

}  // namespace
