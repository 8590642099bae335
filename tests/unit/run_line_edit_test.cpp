// The run-line edit: the whole table of cases on both separators, repeated registration, a
// file name with a blank.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/run_line_edit.h"

namespace {

const char kProgram[] = "C:\\NET\\Prog.exe";

struct EditCase {
    std::string before;
    std::string after;
};

const std::vector<EditCase>& EditCases()
{
    static const std::vector<EditCase> cases = {
        {"", " C:\\NET\\Prog.exe"},
        {"C:\\OLD\\PROG.EXE", " C:\\NET\\Prog.exe"},
        {"c:\\old\\prog.exe", " C:\\NET\\Prog.exe"},
        {"A.EXE B.EXE", "A.EXE B.EXE C:\\NET\\Prog.exe"},
        {"A.EXE,", "A.EXE, C:\\NET\\Prog.exe"},
        {"A.EXE C:\\OLD\\PROG.EXE", "A.EXE C:\\NET\\Prog.exe"},
        {"C:\\OLD\\PROG.EXE A.EXE", "A.EXE C:\\NET\\Prog.exe"},
        {"A.EXE C:\\OLD\\PROG.EXE B.EXE", "A.EXE B.EXE C:\\NET\\Prog.exe"},
        {"A.EXE,C:\\OLD\\PROG.EXE,B.EXE", "A.EXE,B.EXE C:\\NET\\Prog.exe"},
        {"A.EXE, C:\\OLD\\PROG.EXE, B.EXE", "A.EXE,  B.EXE C:\\NET\\Prog.exe"},
        {"A.EXE,C:\\OLD\\PROG.EXE", "A.EXE C:\\NET\\Prog.exe"},
        {"A.EXE , C:\\OLD\\PROG.EXE", "A.EXE C:\\NET\\Prog.exe"},
        {",C:\\OLD\\PROG.EXE", ", C:\\NET\\Prog.exe"},
        {" C:\\OLD\\PROG.EXE", "  C:\\NET\\Prog.exe"},
        {"C:\\OLD\\PROG.EXE,,", ", C:\\NET\\Prog.exe"},
        {"C:\\OLD\\PROG.EXE C:\\NET\\PROG.EXE", "C:\\NET\\PROG.EXE C:\\NET\\Prog.exe"},
        {"MYPROG.EXE A.EXE", "A.EXE C:\\NET\\Prog.exe"},
        {"C:\\X\\PROG.EXE.BAK A.EXE", "A.EXE C:\\NET\\Prog.exe"},
    };
    return cases;
}

// The same case in POSIX form: no drive, '/' for '\'.
std::string PosixForm(std::string text)
{
    for (const char* drive : {"C:", "c:"}) {
        for (size_t at; (at = text.find(drive)) != std::string::npos;) {
            text.erase(at, 2);
        }
    }
    for (char& c : text) {
        c = c == '\\' ? '/' : c;
    }
    return text;
}

class RunLineEdit : public ::testing::TestWithParam<size_t> {};

TEST_P(RunLineEdit, BackslashSeparator)
{
    const EditCase& c = EditCases()[GetParam()];
    EXPECT_EQ(ComposeRunLine(c.before, kProgram, '\\'), c.after) << "[" << c.before << "]";
}

TEST_P(RunLineEdit, SlashSeparator)
{
    const EditCase& c = EditCases()[GetParam()];
    std::string before = PosixForm(c.before);
    EXPECT_EQ(ComposeRunLine(before, PosixForm(kProgram), '/'), PosixForm(c.after))
        << "[" << before << "]";
}

INSTANTIATE_TEST_SUITE_P(Table, RunLineEdit, ::testing::Range<size_t>(0, EditCases().size()));

TEST(RunLineEditRepeated, ARegistrationAfterAnotherEntryIsStable)
{
    std::string once = ComposeRunLine("A.EXE", kProgram, '\\');
    EXPECT_EQ(once, "A.EXE C:\\NET\\Prog.exe");
    EXPECT_EQ(ComposeRunLine(once, kProgram, '\\'), once);
}

TEST(RunLineEditRepeated, LeadingBlanksSettleAtTwo)
{
    EXPECT_EQ(ComposeRunLine(" C:\\NET\\Prog.exe", kProgram, '\\'), "  C:\\NET\\Prog.exe");
    EXPECT_EQ(ComposeRunLine("  C:\\NET\\Prog.exe", kProgram, '\\'), "  C:\\NET\\Prog.exe");
    EXPECT_EQ(ComposeRunLine(" /net/Prog.exe", "/net/Prog.exe", '/'), "  /net/Prog.exe");
    EXPECT_EQ(ComposeRunLine("  /net/Prog.exe", "/net/Prog.exe", '/'), "  /net/Prog.exe");
}

TEST(RunLineEditNames, ABlankInTheFileNameBoundsTheRemoval)
{
    EXPECT_EQ(ComposeRunLine("C:\\TOOLS\\MY TOOL.EXE", "C:\\PROGRAM FILES\\MY TOOL.EXE", '\\'),
              "TOOL.EXE C:\\PROGRAM FILES\\MY TOOL.EXE");
    EXPECT_EQ(ComposeRunLine("/tools/my tool", "/program files/my tool", '/'),
              "tool /program files/my tool");
}

TEST(RunLineEditNames, TheKeyIsTheNameAfterTheLastSeparatorOnly)
{
    EXPECT_EQ(RunLineKey("C:\\NET\\Prog.exe", '\\'), "PROG.EXE");
    EXPECT_EQ(RunLineKey("/net/Prog", '/'), "PROG");
    EXPECT_EQ(RunLineKey("Prog.exe", '/'), "PROG.EXE");
    // On the POSIX separator a backslash is an ordinary character of the name.
    EXPECT_EQ(RunLineKey("/a/b\\c", '/'), "B\\C");
}

TEST(RunLineEditNames, AnEmptyKeyRemovesNothing)
{
    EXPECT_EQ(ComposeRunLine("A.EXE B.EXE", "/opt/", '/'), "A.EXE B.EXE /opt/");
}

TEST(RunLineEditLong, A600CharacterValueKeepsItsTail)
{
    std::string head(291, 'h');
    std::string tail(292, 't');
    head[100] = ' ';
    tail[150] = ',';
    std::string value = head + " D:\\OLD\\PROG.EXE " + tail;
    ASSERT_EQ(value.size(), 600u);
    EXPECT_EQ(ComposeRunLine(value, kProgram, '\\'), head + " " + tail + " " + kProgram);
}

TEST(RunLineEditStale, AMatchBeyondAShorterSecondReadingRemovesNothing)
{
    EXPECT_EQ(EditRunLine("A", 40, "/p"), "A /p");
    EXPECT_EQ(EditRunLine("A B", std::string::npos, "/p"), "A B /p");
}

}  // namespace
