// The install switch registers the program in the run line of the user's WIN.INI.
#include "system/system_fixture.h"

namespace system_tests {
namespace {

class RunLine : public SystemTest {
protected:
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
    WriteRunLine("first.exe elsewhere" + std::string(1, UnderWine() ? '\\' : '/') +
                 ProgramName() + " last.exe");
    EXPECT_EQ(Run({"/INSTALL-"}, HomeEnvironment()).exitStatus, 0);
    EXPECT_EQ(ReadRunLine(), "first.exe last.exe " + VisibleProgramPath());
    // Registering again writes the same line.
    EXPECT_EQ(Run({"/install"}, HomeEnvironment()).exitStatus, 0);
    EXPECT_EQ(ReadRunLine(), "first.exe last.exe " + VisibleProgramPath());
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
    std::string folder = "deep";
    std::vector<std::string> ancestors{"", folder};
    while (Visible(folder).size() < 300) {
        folder += "/" + std::string(40, 'd');
        ancestors.push_back(folder);
    }
    MoveProgram(folder);
    const std::string settings =
        SettingsText({{"Word", Visible("m"), Visible("i"), MarkerCommand("setup")}});
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

}  // namespace
}  // namespace system_tests
