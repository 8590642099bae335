// The companion program against the log-on program on the same files: it reports due exactly
// the entries whose setup the log-on program starts, and it changes nothing on the way.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "system/system_fixture.h"

namespace system_tests {
namespace {

// Bytes and last-write time of a file, or nothing for a missing one.
std::string Snapshot(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        return "(missing)";
    }
    return std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec) + ":" +
           testing_support::ReadFile(path);
}

// Names of the rows of the check's CSV whose verdict is "due", with whether their setup
// program starts ("yes" or "no").
std::map<std::string, std::string> DueRows(const std::string& csv)
{
    std::map<std::string, std::string> rows;
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);  // the header names the column
    std::vector<std::string> header = testing_support::CsvFields(line);
    size_t starts = static_cast<size_t>(std::find(header.begin(), header.end(), "SetupStarts") -
                                        header.begin());
    while (std::getline(lines, line)) {
        std::vector<std::string> fields = testing_support::CsvFields(line);
        if (fields.size() == header.size() && starts < fields.size() && fields[2] == "due") {
            rows[fields[1]] = fields[starts];
        }
    }
    return rows;
}

// Every line ends in CR LF (or, when `crLf` is false, in LF alone).
void ExpectLineEnds(const std::string& text, bool crLf)
{
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        ASSERT_EQ(at > 0 && text[at - 1] == '\r', crLf) << at << ": " << text;
        ASSERT_FALSE(at > 1 && text[at - 2] == '\r') << at << ": " << text;
    }
}

class CheckProgram : public SystemTest {
protected:
    // A copy of the stand-in setup program in the test's folder.
    std::string CopyMarker(const std::string& relative) const
    {
        std::string marker = std::getenv("QUORVEL_MARKER");
        std::filesystem::create_directories(std::filesystem::path(Native(relative)).parent_path());
        std::filesystem::copy_file(marker, Native(relative));
        return relative;
    }
    // Under Wine, \\<server>\share names the test's folder (Wine's UNC folder in the
    // prefix); the link goes when the test ends.
    std::string UncShare()
    {
        std::string server = std::filesystem::path(Native("")).parent_path().filename().string();
        for (char& c : server) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        unc_ = std::string(std::getenv("WINEPREFIX")) + "/dosdevices/unc/" + server;
        std::filesystem::create_directories(unc_);
        std::filesystem::create_directory_symlink(Native(""), unc_ + "/share");
        return "\\\\" + server + "\\share\\";
    }
    ~CheckProgram() override
    {
        if (!unc_.empty()) {
            std::filesystem::remove_all(unc_);
        }
    }

private:
    std::string unc_;
};

TEST_F(CheckProgram, ReportsDueWhatTheLogOnRunStartsAndChangesNothing)
{
    const std::string exe = UnderWine() ? ".exe" : "";
    const testing_support::VersionQuad lower = {0x00010000, 0, 0x00010000, 0};
    const testing_support::VersionQuad higher = {0x00020000, 0, 0x00010000, 0};
    // Versions are not read through a pattern: the newer date decides, not the higher version.
    WritePeAt("pattern-master.exe", lower, 1780000000);
    WritePeAt("pattern-installed.exe", higher, 1770000000);
    // Not a program: on POSIX a file without execute permission, on Windows a text file.
    testing_support::WriteFile(Native("not-a-program" + exe), "text\n");
    std::string marker = MarkerCommand("quoted");
    size_t blank = marker.find(' ');
    std::vector<AppEntry> more = {
        {"Setup missing", Visible("master-a.exe"), Visible("none-1.exe"),
         Visible("no-such-setup" + exe) + " /q"},
        {"Setup quoted", Visible("master-a.exe"), Visible("none-2.exe"),
         "\"" + marker.substr(0, blank) + "\"" + marker.substr(blank) + " \"two words\""},
        {"Not a program", Visible("master-a.exe"), Visible("none-3.exe"),
         Visible("not-a-program" + exe)},
        {"Blank path", Visible("master-a.exe"), Visible("none-4.exe"),
         Visible(CopyMarker("my tools/marker" + exe)) + " " + Visible("markers") + " blank"},
        {"Pattern", Visible("pattern-m*.exe"), Visible("pattern-installed.exe"),
         MarkerCommand("pattern")},
    };
    std::map<std::string, std::string> labels = {{"Missing install", "a"}, {"Current", "b"},
                                                 {"Newer version", "d"},   {"Missing master", "e"},
                                                 {"Blank path", "blank"},  {"Pattern", "pattern"}};
    if (UnderWine()) {
        std::string share = UncShare();
        CopyMarker("unc-marker.exe");
        more.push_back({"Share", share + "master-d.exe", share + "installed-d.exe",
                        share + "unc-marker.exe " + Visible("markers") + " share"});
        more.push_back({"No server", "\\\\quorvel-no-server\\share\\master.exe",
                        Visible("installed-b.exe"), MarkerCommand("no-server")});
        labels["Share"] = "share";
    }
    WriteMixedEntries(more);
    WriteOptionsFile("/log\r\n/install\r\n");
    testing_support::WriteFile(DefaultLog(), "an earlier line\r\n");
    WriteRunLine("other.exe");
    const std::vector<std::string> watched = {DefaultLog(),
                                              BesideProgram("Quorvel.ini"),
                                              BesideProgram("Quorvel.cfg"),
                                              Native("master-a.exe"),
                                              Native("installed-b.exe"),
                                              Native("installed-d.exe"),
                                              Native("installed-a.exe"),
                                              Native("home/.config/win.ini")};
    std::vector<std::string> before;
    for (const std::string& path : watched) {
        before.push_back(Snapshot(path));
    }

    testing_support::ProcessResult report = RunCheck({});
    testing_support::ProcessResult table = RunCheck({"/csv"});

    // Entries due (4) and problems (2): no SetupApp, no Source, setups that cannot start.
    EXPECT_EQ(report.exitStatus, 6) << report.output;
    EXPECT_EQ(table.exitStatus, 6) << table.output;
    for (const std::string& expected : std::vector<std::string>{
             "would register", "[App3] has no SetupApp",
             "[App5] Missing master: not due: Source "
             "not found",
             "SetupApp in [App7] (Setup quoted) begins and ends with a double quote",
             "Source in [App10] (Pattern) is a pattern",
             "SetupApp in [App9] (Blank path): unquoted path with a blank: anyone who can create " +
                 Visible("my") + (UnderWine() ? ".exe" : "") + " runs a program in its place"}) {
        EXPECT_NE(report.output.find(expected), std::string::npos) << expected << report.output;
    }
    ExpectLineEnds(report.output, UnderWine());
    ExpectLineEnds(table.output, true);
    for (size_t i = 0; i < watched.size(); ++i) {
        EXPECT_EQ(Snapshot(watched[i]), before[i]) << watched[i];
    }
    EXPECT_EQ(ReadRunLine(), "other.exe");
    EXPECT_TRUE(MarkersAfterGrace().empty());

    std::map<std::string, std::string> due = DueRows(table.output);
    std::set<std::string> starting;
    for (const auto& row : due) {
        if (row.second == "yes") {
            starting.insert(labels.at(row.first));
        }
    }
    // A POSIX run as root starts no unquoted path with a blank, which another user could
    // have planted a file in front of; Windows searches it blank by blank as the platform does.
    const bool blankStarts = UnderWine() || geteuid() != 0;
    // The three that cannot start, and the blank path as root.
    EXPECT_EQ(due.size(), starting.size() + (blankStarts ? 3 : 4)) << table.output;
    std::set<std::string> expected = {"a", "d", "pattern"};
    if (blankStarts) {
        expected.insert("blank");
    }
    if (UnderWine()) {
        expected.insert("share");
    }
    EXPECT_EQ(starting, expected) << table.output;
    EXPECT_EQ(Run({}).exitStatus, 0);
    WaitForMarkers(std::vector<std::string>(expected.begin(), expected.end()));
    std::vector<std::string> markers = MarkersAfterGrace();
    EXPECT_EQ(std::set<std::string>(markers.begin(), markers.end()), starting);

    // The log-on run's lines, summarised; versions as the decision read them.
    testing_support::ProcessResult summary = RunCheck({"/log-summary"});
    EXPECT_EQ(summary.exitStatus, 0) << summary.output;
    EXPECT_NE(summary.output.find("Newer version: 1 launch on 1 computer by 1 user"),
              std::string::npos)
        << summary.output;
    EXPECT_NE(summary.output.find("lines not understood: 1 (line 1)"), std::string::npos);
    testing_support::ProcessResult versions = RunCheck({"/versions", Visible("master-d.exe"),
                                                        Visible("nowhere.exe")});
    EXPECT_EQ(versions.exitStatus, 2);
    EXPECT_NE(versions.output.find("master-d.exe: file version 1.1.0.0, product version "
                                   "1.0.0.0"),
              std::string::npos)
        << versions.output;
    EXPECT_NE(versions.output.find("nowhere.exe: not found"), std::string::npos);
}

// With ExpandVariables on, the check expands the paths in the same environment as the run and
// reports due exactly the entries whose setup the run starts. A name that is not set stays as
// written; a value that expands to nothing makes the entry skipped.
TEST_F(CheckProgram, ExpandedPathsAreDueExactlyAsTheRunStartsThem)
{
    const testing_support::VersionQuad version = {0x00010000, 0, 0x00010000, 0};
    WritePeAt("master.exe", version, 1780000000);
    WritePeAt("installed.exe", version, 1780000000);
    std::string site = Visible("master.exe");
    site.erase(site.size() - std::string("master.exe").size());  // with its separator
    // The stand-in setup program leaves its markers in a folder named through the variable.
    std::string marker = MarkerCommand("m");
    auto setupFor = [&](const std::string& label) {
        return marker.substr(0, marker.rfind(" " + Visible("markers"))) +
               " %QUORVEL_SITE%markers " + label;
    };
    WriteSettingsFile(SettingsText(
        {{"Expanded missing", "%QUORVEL_SITE%master.exe", "%QUORVEL_SITE%none.exe",
          setupFor("missing")},
         {"Expanded current", "%QUORVEL_SITE%master.exe", "%QUORVEL_SITE%installed.exe",
          setupFor("current")},
         {"Not set", "%QUORVEL_SITE%master.exe", "%QUORVEL_NOT_SET%", setupFor("unset")},
         {"Empty", "%QUORVEL_SITE%master.exe", "%QUORVEL_EMPTY%", setupFor("empty")}},
        "ExpandVariables=1\r\n"));
    const Environment environment = {{"QUORVEL_SITE", site}, {"QUORVEL_EMPTY", ""}};

    testing_support::ProcessResult report = RunCheck({}, environment);
    testing_support::ProcessResult table = RunCheck({"/csv"}, environment);
    EXPECT_EQ(report.exitStatus, 6) << report.output;  // due entries, and two problems
    for (const std::string& expected : std::vector<std::string>{
             "Destination in [App3] (Not set) names %QUORVEL_NOT_SET%, not set in this account's "
             "environment: the pass leaves it as written",
             "Destination in [App4] (Empty) expands to nothing here: the pass skips the entry",
             "  Destination " + site + "none.exe", "      as written %QUORVEL_SITE%none.exe"}) {
        EXPECT_NE(report.output.find(expected), std::string::npos) << expected << report.output;
    }
    std::map<std::string, std::string> due = DueRows(table.output);
    std::set<std::string> starting;
    for (const auto& row : due) {
        EXPECT_EQ(row.second, "yes") << row.first << table.output;
        starting.insert(row.first);
    }
    EXPECT_EQ(starting, (std::set<std::string>{"Expanded missing", "Not set"}));
    EXPECT_EQ(Run({}, environment).exitStatus, 0);
    WaitForMarkers({"missing", "unset"});
    std::vector<std::string> markers = MarkersAfterGrace();
    EXPECT_EQ(std::set<std::string>(markers.begin(), markers.end()),
              (std::set<std::string>{"missing", "unset"}));
}

// The rights each setup program needs, as the Windows build reads them from its manifest: for
// a user's log-on pass, and with /machine for the machine pass.
TEST_F(CheckProgram, RightsEachSetupNeedsForAUserPassAndTheMachinePass)
{
    if (!UnderWine()) {
        GTEST_SKIP() << "setup programs with manifests are Windows programs";
    }
    testing_support::CopyPeFixture("manifest_requireAdministrator.exe", Native("admin-tool.exe"));
    testing_support::CopyPeFixture("plain_pe32.exe", Native("setup.exe"));
    testing_support::CopyPeFixture("manifest_asInvoker.exe", Native("quiet-setup.exe"));
    const std::string master = Visible("master.exe");
    WritePeAt("master.exe", {0x00010000, 0, 0x00010000, 0}, 1780000000);
    WriteSettingsFile(SettingsText(
        {{"Admin", master, Visible("none-1.exe"), Visible("admin-tool.exe") + " /q"},
         {"Detected", master, Visible("none-2.exe"), Visible("setup.exe")},
         {"Package", master, Visible("none-3.exe"), "msiexec /i " + Visible("notes.msi") + " /qn"},
         {"Invoker", master, Visible("none-4.exe"), Visible("quiet-setup.exe")}}));
    // A per-machine package, as a site's packaging tool writes it.
    testing_support::WriteFile(
        Native("notes.wxs"),
        "<?xml version=\"1.0\"?><Wix xmlns=\"http://schemas.microsoft.com/wix/2006/wi\">"
        "<Product Id=\"*\" Name=\"Notes\" Version=\"1.0.0\" Manufacturer=\"Site\" "
        "Language=\"1033\" UpgradeCode=\"5E1F0C2A-8C7B-4D0E-9F3A-2B6C1D4E7F80\">"
        "<Package InstallerVersion=\"200\" Compressed=\"yes\" InstallScope=\"perMachine\"/>"
        "<Directory Id=\"TARGETDIR\" Name=\"SourceDir\"/><Feature Id=\"Main\" Level=\"1\"/>"
        "</Product></Wix>\n");
    ASSERT_EQ(testing_support::RunProcess({"wixl", "-o", Native("notes.msi"), Native("notes.wxs")},
                                          {}, Native(""))
                  .exitStatus,
              0);
    // Wine's WoW64 mode cannot initialise msi.dll (its crypt32 fails), so the 32-bit build
    // reads no package there and says so; the rest of the check runs.
    const std::string packageScope = UnderWine32()
                                         ? "(the package's own ALLUSERS property was not read)"
                                         : "(the package sets ALLUSERS=1)";
    WriteRunLine("other.exe");  // no stale entry of another test's program
    testing_support::ProcessResult user = RunCheck({});
    testing_support::ProcessResult machine = RunCheck({"/machine"});
    EXPECT_EQ(user.exitStatus, 6) << user.output;  // due, and the one problem
    // Due; what the machine pass trusts is looked at in a test of its own.
    EXPECT_EQ(machine.exitStatus & 5, 4) << machine.output;
    for (const std::string& expected : std::vector<std::string>{
             "SetupApp in [App1] (Admin): " + Visible("admin-tool.exe") +
                 " needs administrator rights (requireAdministrator): a standard user's run "
                 "cannot start it (error 740); put this entry in the machine pass",
             "SetupApp in [App2] (Detected): " + Visible("setup.exe") +
                 " is a 32-bit program "
                 "whose manifest does not say which rights it needs",
             "SetupApp in [App3] (Package): msiexec installs a package: a per-machine package "
             "(ALLUSERS=1, the usual case) needs administrator rights, and with /qn it "
             "cannot ask for them, so it fails in a standard user's run; put this entry in "
             "the machine pass unless the package installs per user " +
                 packageScope,
             "the pass checked is a user's log-on pass"}) {
        EXPECT_NE(user.output.find(expected), std::string::npos) << expected << user.output;
    }
    EXPECT_EQ(user.output.find("[App4] (Invoker)"), std::string::npos) << user.output;
    EXPECT_EQ(machine.output.find("SetupApp in"), std::string::npos) << machine.output;
    EXPECT_NE(machine.output.find("the pass checked is the machine pass"), std::string::npos);
}

// What the machine pass trusts, under Wine, with the access lists the test sets: a settings file
// that Everyone may change is a problem naming them; a Source that Everyone may only read is
// not. (This Wine keeps an access list as the file's mode bits, and reports the Unix owner as a
// user account, so every file also has an owner who is no administrator.)
TEST_F(CheckProgram, TheMachinePassAuditNamesWhoElseCanWrite)
{
    if (!UnderWine()) {
        GTEST_SKIP() << "access lists are Windows's; the POSIX audit has unit tests";
    }
    WritePeAt("master.exe", {0x00010000, 0, 0x00010000, 0}, 1780000000);
    WriteSettingsFile(SettingsText({{"Notes", Visible("master.exe"), Visible("none.exe"),
                                     MarkerCommand("n")}}));
    const std::string settings = Visible("prog/Quorvel.ini");
    ASSERT_EQ(RunTool("set_security", {Visible("master.exe"), "O:BAD:P(A;;FA;;;BA)(A;;FR;;;WD)"})
                  .exitStatus,
              0);
    ASSERT_EQ(RunTool("set_security", {settings, "O:BAD:P(A;;FA;;;BA)(A;;FA;;;WD)"}).exitStatus, 0);
    testing_support::ProcessResult report = RunCheck({"/machine"});
    EXPECT_EQ(report.exitStatus & 2, 2) << report.output;
    EXPECT_NE(report.output.find(settings + ": the settings file, which the machine pass "
                                            "trusts: Everyone may change it"),
              std::string::npos)
        << report.output;
    EXPECT_EQ(report.output.find(Visible("master.exe") + ": the Source of [App1] (Notes), which "
                                                         "the machine pass trusts: Everyone"),
              std::string::npos)
        << report.output;
    // A user's pass trusts nothing of it: no audit.
    EXPECT_EQ(RunCheck({}).output.find("which the machine pass trusts"), std::string::npos);
}

TEST_F(CheckProgram, RefusedLineIsReportedWithItsLineAndExitsWithOne)
{
    // Unquoted, the '/' of a path starts a new switch. The first line is read in two pieces,
    // and its NUL must not make its first piece count as a whole line.
    WriteOptionsFile(std::string("/log\0", 5) + std::string(300, ' ') +
                     "\r\n\r\n/ini=settings/a.ini\r\n");
    testing_support::ProcessResult result = RunCheck({});
    EXPECT_EQ(result.exitStatus & 1, 1) << result.output;
    EXPECT_NE(result.output.find("options file line 3"), std::string::npos) << result.output;
    EXPECT_FALSE(testing_support::FileExists(DefaultLog()));
}

// A log that does not exist yet is checked for this user's right to create it, and so is the
// folder a setup would install in. The user is "nobody", run through setpriv, and the log's
// folder is root's.
TEST_F(CheckProgram, ALogThisUserCannotCreateIsAProblem)
{
    const passwd* nobody = getpwnam("nobody");
    if (UnderWine() || geteuid() != 0 || nobody == nullptr) {
        GTEST_SKIP() << "needs the POSIX build, root and a user named nobody";
    }
    chmod(Native("").c_str(), 0755);
    mkdir(Native("logs").c_str(), 0755);
    WriteSettingsFile(SettingsText({{"Notes", "/bin/true", Native("logs/notes/notes"),
                                     "/bin/true"}}));
    testing_support::ProcessResult result = testing_support::RunProcess(
        {"setpriv", "--reuid=" + std::to_string(nobody->pw_uid),
         "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups",
         BesideProgram("quorvel-check"), "/log=" + Native("logs/Quorvel.log")},
        {{"HOME", Native("home")}}, Native(""));
    if (result.output.find("quorvel-check") == std::string::npos) {
        GTEST_SKIP() << "nobody cannot reach the temporary folder " << Native("");
    }
    EXPECT_EQ(result.exitStatus & 2, 2) << result.output;
    EXPECT_NE(result.output.find("the log does not exist yet, and this user cannot create a "
                                 "file in its folder " +
                                 Native("logs") + ": no line is written"),
              std::string::npos)
        << result.output;
    // Nor can the setup, started in this user's pass, install below it.
    EXPECT_NE(result.output.find("Destination in [App1] (Notes): this account cannot create "
                                 "files in " +
                                 Native("logs") +
                                 ": the setup, run as this user, "
                                 "cannot write there"),
              std::string::npos)
        << result.output;
}

// Names written to deceive: terminal controls, a right-to-left override and a formula. The
// report shows them escaped, and the table's cell reads back as text.
TEST_F(CheckProgram, HiddenCharactersAreShownEscapedAndFormulasStayText)
{
    WriteSettingsFile(SettingsText({{"x\xC2\x9B"
                                     "31m\xE2\x80\xAE"
                                     "gpj.exe\x1B]0;t\x07\x9B",
                                     Visible("m"), Visible("i1"), "/bin/true"},
                                    {"=HYPERLINK(\"http://example.invalid\")", Visible("m"),
                                     Visible("i2"), "/bin/true"}}));
    testing_support::ProcessResult report = RunCheck({});
    // A Windows console shows the ANSI code page, in which every byte from 0x80 is a character.
    const std::string shown = UnderWine() ? "x\xC2\x9B"
                                            "31m\xE2\x80\xAE"
                                            "gpj.exe<0x1B>]0;t<0x07>\x9B"
                                          : "x<U+009B>31m<U+202E>gpj.exe<0x1B>]0;t<0x07><0x9B>";
    EXPECT_NE(report.output.find(shown), std::string::npos) << report.output;
    testing_support::ProcessResult table = RunCheck({"/csv"});
    bool found = false;
    std::istringstream lines(table.output);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields = testing_support::CsvFields(line);
        found = found ||
                (fields.size() > 1 && fields[1] == "'=HYPERLINK(\"http://example.invalid\")");
    }
    EXPECT_TRUE(found) << table.output;
}

}  // namespace
}  // namespace system_tests
