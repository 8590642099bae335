// The install switch registers the program in the run line of the user's WIN.INI.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "system/system_fixture.h"

namespace system_tests {
namespace {

class RunLine : public SystemTest {
protected:
    // Under Wine the run line is one registry value for the whole prefix: each test starts
    // without it. Only these tests and the companion's touch it, and never two at once, so no
    // other test's set-up can clear it in the middle of one of them.
    RunLine()
    {
        if (UnderWine()) {
            WriteRunLine("");
        }
        RunAsOrdinaryUser();  // registration writes nothing as root
    }

    // The program's file name, as the key the registration searches for.
    std::string ProgramName() const
    {
        std::string path = VisibleProgramPath();
        return path.substr(path.find_last_of("/\\") + 1);
    }
};

TEST_F(RunLine, InstallWritesTheProgramPath)
{
    EXPECT_EQ(Run({"/install"}, HomeEnvironment()).exitStatus, 0);
    EXPECT_EQ(ReadRunLine(), " " + VisibleProgramPath());
}

TEST_F(RunLine, InstallReplacesAnEarlierRegistration)
{
    WriteRunLine("first.exe elsewhere" + std::string(1, UnderWine() ? '\\' : '/') + ProgramName() +
                 " last.exe");
    EXPECT_EQ(Run({"/INSTALL-"}, HomeEnvironment()).exitStatus, 0);
    EXPECT_EQ(ReadRunLine(), "first.exe last.exe " + VisibleProgramPath());
    // Registering again writes the same line.
    EXPECT_EQ(Run({"/install"}, HomeEnvironment()).exitStatus, 0);
    EXPECT_EQ(ReadRunLine(), "first.exe last.exe " + VisibleProgramPath());
}

// On POSIX a desktop session starts what the autostart folder names, so registering writes an
// entry there too, and a registration from another folder replaces the earlier entry.
TEST_F(RunLine, InstallAlsoWritesAnAutostartEntryOnPosix)
{
    if (UnderWine()) {
        GTEST_SKIP() << "on Windows the run line itself is what starts programs at log-on";
    }
    const std::string entry = Native("home/.config/autostart/" + ProgramName() + ".desktop");
    const std::string expected = "[Desktop Entry]\n"
                                 "# Written when the program registered itself in the run line "
                                 "of ~/.config/win.ini.\n"
                                 "Type=Application\nName=" +
                                 ProgramName() +
                                 "\n"
                                 "Exec=\"" +
                                 VisibleProgramPath() +
                                 "\"\n"
                                 "NoDisplay=true\nTerminal=false\n";
    std::filesystem::create_directories(Native("home/.config/autostart"));
    testing_support::WriteFile(entry, "[Desktop Entry]\nExec=/elsewhere/" + ProgramName() + "\n");
    EXPECT_EQ(Run({"/install"}, HomeEnvironment()).exitStatus, 0);
    EXPECT_EQ(testing_support::ReadFile(entry), expected);
    EXPECT_EQ(ReadRunLine(), " " + VisibleProgramPath());

    Environment withConfigHome = HomeEnvironment();
    withConfigHome["XDG_CONFIG_HOME"] = Native("config");
    EXPECT_EQ(Run({"/install"}, withConfigHome).exitStatus, 0);
    EXPECT_EQ(testing_support::ReadFile(Native("config/autostart/" + ProgramName() + ".desktop")),
              expected);
}

// The companion tells each registration: a run line that holds the program three times, one of
// them naming no file, and under Wine the machine's Run key, starting the program or not.
TEST_F(RunLine, TheCheckReportsEachRegistration)
{
    std::string gone = Visible("gone") + (UnderWine() ? "\\" : "/") + ProgramName();
    WriteRunLine(VisibleProgramPath() + " " + gone + " " + VisibleProgramPath());
    testing_support::ProcessResult result = RunCheck({});
    EXPECT_EQ(result.exitStatus & 2, 2) << result.output;
    for (const std::string& expected :
         {"run line       holds " + ProgramName() + " in 3 entries",
          "run line: it holds " + ProgramName() + " 3 times",
          "its entry " + gone + " names no existing file: it starts nothing"}) {
        EXPECT_NE(result.output.find(expected), std::string::npos) << expected << result.output;
    }
    // Windows starts the run line's programs; a POSIX session only its autostart entries.
    EXPECT_EQ(result.output.find("at log-on      started for this user") != std::string::npos,
              UnderWine())
        << result.output;
    if (!UnderWine()) {
        return;
    }
    const std::string value = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion"
                              "\\Run, value Quorvel (64-bit view): ";
    WriteRunLine("");
    WriteMachineRunValue("\"" + VisibleProgramPath() + "\"");
    result = RunCheck({});
    WriteMachineRunValue("\"" + gone + "\"");
    testing_support::ProcessResult broken = RunCheck({});
    WriteMachineRunValue("");
    EXPECT_NE(result.output.find(value + "\"" + VisibleProgramPath() + "\": starts " +
                                 VisibleProgramPath()),
              std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("at log-on      started for this user"), std::string::npos)
        << result.output;
    EXPECT_NE(broken.output.find(value + "it names a program that cannot start"), std::string::npos)
        << broken.output;
}

TEST_F(RunLine, ALongRunLineKeepsItsTail)
{
    std::string head(280, 'h');
    std::string tail(280, 't');
    WriteRunLine(head + " " + ProgramName() + " " + tail);
    EXPECT_EQ(Run({"/install"}, HomeEnvironment()).exitStatus, 0);
    EXPECT_EQ(ReadRunLine(), head + " " + tail + " " + VisibleProgramPath());
}

TEST_F(RunLine, RegistrationFromTheOptionsFileOutlivesARefusedCommandTail)
{
    WriteOptionsFile("/install\r\n");
    EXPECT_EQ(Run({"/bogus"}, HomeEnvironment()).exitStatus, 1);
    EXPECT_EQ(ReadRunLine(), " " + VisibleProgramPath());
}

// The program's path is longer than the module-path query's room, so the query gives it cut.
// A cut path names an ancestor folder: each one holds an options file that would be refused
// and a settings file with a due entry, and none of them may be read or written.
TEST_F(RunLine, AProgramPathThatIsNotKnownWholeIsNoPath)
{
    if (UnderWine32()) {
        // A 64-bit program starts from such a path under this Wine; a 32-bit one does not
        // start at all (its WoW64 loader fails, and wine exits 1).
        GTEST_SKIP() << "this Wine cannot start a 32-bit program from a path this long";
    }
    std::string folder = "deep";
    std::vector<std::string> ancestors{"", folder};
    while (Visible(folder).size() < 300) {
        folder += "/" + std::string(40, 'd');
        ancestors.push_back(folder);
    }
    MoveProgram(folder);
    const std::string settings = SettingsText({{"Word", Visible("m"), Visible("i"),
                                                MarkerCommand("setup")}});
    for (const std::string& ancestor : ancestors) {
        testing_support::WriteFile(Native(ancestor + "/Quorvel.cfg"), "/bogus\r\n");
        testing_support::WriteFile(Native(ancestor + "/Quorvel.ini"), settings);
    }
    EXPECT_EQ(Run({"/install"}, HomeEnvironment()).exitStatus, 0);
    EXPECT_EQ(ReadRunLine(), "");
    EXPECT_TRUE(MarkersAfterGrace().empty());
    for (const std::string& ancestor : ancestors) {
        EXPECT_FALSE(testing_support::FileExists(Native(ancestor + "/Quorvel.log"))) << ancestor;
    }
}

// The program's path in pieces on the run line ("pub/a b/quorvel" is kept as "pub/a" and
// "b/quorvel"), with a file at the first piece, or with a '%' an entry cannot carry exactly:
// /install writes no autostart entry at all, and the companion says why.
TEST_F(RunLine, AFragmentOrAPathAnEntryCannotCarryGetsNoAutostartEntry)
{
    if (UnderWine()) {
        GTEST_SKIP() << "on Windows the run line itself is what starts programs at log-on";
    }
    for (const std::string folder : {"pub/a b", "pub/100%"}) {
        MoveProgram(folder);
        testing_support::WriteFile(Native("pub/a"), "#!/bin/sh\nid\n");
        chmod(Native("pub/a").c_str(), 0755);
        EXPECT_EQ(Run({"/install"}, HomeEnvironment()).exitStatus, 0) << folder;
        EXPECT_NE(ReadRunLine().find(VisibleProgramPath()), std::string::npos) << folder;
        std::filesystem::path autostart = Native("home/.config/autostart");
        EXPECT_TRUE(!std::filesystem::exists(autostart) || std::filesystem::is_empty(autostart))
            << folder;
    }
    std::filesystem::copy_file(Native("prog/quorvel-check"), Native("pub/100%/quorvel-check"));
    testing_support::ProcessResult check = RunCheck({});
    EXPECT_NE(check.output.find("cannot stand in an autostart entry exactly (it holds the "
                                "character '%')"),
              std::string::npos)
        << check.output;
}

// A root run of /install with another user's HOME (sudo -E), whose WIN.INI is a link to a
// file only root may write and whose autostart folder is a link into a folder everyone reads,
// writes nothing anywhere; nor does a user whose HOME names a folder of someone else's.
class ForeignHome : public SystemTest {};

TEST_F(ForeignHome, InstallWritesNothingAsRootOrIntoAnotherUsersHome)
{
    const passwd* nobody = getpwnam("nobody");
    if (UnderWine() || geteuid() != 0 || nobody == nullptr) {
        GTEST_SKIP() << "needs root and a user named nobody on POSIX";
    }
    namespace fs = std::filesystem;
    fs::create_directories(Native("victim/.config"));
    fs::create_directories(Native("shared"));
    testing_support::WriteFile(Native("root-only"), "[windows]\nrun=\n");
    chmod(Native("root-only").c_str(), 0600);
    fs::create_symlink(Native("root-only"), Native("victim/.config/win.ini"));
    fs::create_directory_symlink(Native("shared"), Native("victim/.config/autostart"));
    for (const char* path : {"victim", "victim/.config"}) {
        ASSERT_EQ(lchown(Native(path).c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    }
    EXPECT_EQ(Run({"/install"}, {{"HOME", Native("victim")}}).exitStatus, 0);
    EXPECT_EQ(Run({"/install"}, {{"HOME", Native("victim")}, {"XDG_CONFIG_HOME", Native("shared")}})
                  .exitStatus,
              0);
    EXPECT_EQ(testing_support::ReadFile(Native("root-only")), "[windows]\nrun=\n");
    EXPECT_TRUE(fs::is_empty(Native("shared")));

    // The second user with HOME at a folder of root's that anyone may write.
    chmod(Native("").c_str(), 0755);
    fs::create_directories(Native("root-home"));
    chmod(Native("root-home").c_str(), 0777);
    testing_support::ProcessResult asNobody = testing_support::RunProcess(
        {"setpriv", "--reuid=" + std::to_string(nobody->pw_uid),
         "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups", BesideProgram("quorvel"),
         "/install"},
        {{"HOME", Native("root-home")}, {"XDG_CONFIG_HOME", "\x01unset"}}, Native(""));
    EXPECT_EQ(asNobody.exitStatus, 0);
    EXPECT_TRUE(fs::is_empty(Native("root-home")));
}

}  // namespace
}  // namespace system_tests
