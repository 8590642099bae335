// Finding the command tail in a Windows command line, and rebuilding it from POSIX arguments.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/command_tail.h"
#include "text/argv_tail.h"

namespace {

TEST(CommandTail, SkipsTheProgramNameAndTheBlanksAfterIt)
{
    const struct {
        const char* commandLine;
        const char* tail;
    } rows[] = {
        {"quorvel.exe /log- /ini=a.ini", "/log- /ini=a.ini"},
        {"  \tquorvel.exe\t  /x ", "/x "},
        {"\"C:\\Program Files\\Quorvel\\quorvel.exe\"   /ini=b.ini", "/ini=b.ini"},
        {"\"C:\\Program Files\\q.exe\"/log", "/log"},
        {"\"C:\\unterminated path /log", ""},
        {"\"C:\\tab\tname\" /log", "name\" /log"},
        {"quorvel.exe", ""},
        {"", ""},
    };
    for (const auto& row : rows) {
        EXPECT_STREQ(FindCommandTail(row.commandLine), row.tail) << row.commandLine;
    }
}

std::string Tail(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(&arg[0]);
    }
    return BuildCommandTail(static_cast<int>(argv.size()), argv.data());
}

TEST(ArgumentTail, SwitchValuesWithBlanksOrSlashesAreQuoted)
{
    EXPECT_EQ(Tail({"quorvel"}), "");
    EXPECT_EQ(Tail({"quorvel", "/log-", "/install"}), "/log- /install");
    EXPECT_EQ(Tail({"quorvel", "/ini=/srv/master/Quorvel.ini"}),
              "/ini=\"/srv/master/Quorvel.ini\"");
    EXPECT_EQ(Tail({"quorvel", "/log=/srv/logs/my log.txt"}), "/log=\"/srv/logs/my log.txt\"");
    EXPECT_EQ(Tail({"quorvel", "-ini=a\tb"}), "-ini=\"a\tb\"");
    EXPECT_EQ(Tail({"quorvel", "/ini=\"/already quoted\""}), "/ini=\"/already quoted\"");
    EXPECT_EQ(Tail({"quorvel", "/ini=plain.ini", "bare word"}), "/ini=plain.ini bare word");
}

}  // namespace
