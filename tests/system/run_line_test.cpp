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

}  // namespace
}  // namespace system_tests
