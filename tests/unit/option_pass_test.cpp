// The option pass: which lines are applied or refused, what each switch sets, and how the
// options file is read (byte-order mark, carriage returns, Ctrl-Z, pieces of at most 259
// characters).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/run_settings.h"
#include "msi/options_file_text.h"
#include "msi/scheduled_task_xml.h"
#include "platform/win32.h"
#include "run/run_driver.h"
#include "support/test_support.h"

namespace {

using testing_support::TempDir;
using testing_support::WriteFile;

class OptionPass : public ::testing::Test {
protected:
    void SetUp() override { ResetRunSettings(nullptr); }

    // Applies an options file with the given bytes, read as the program reads it.
    bool ApplyOptionsText(const std::string& content)
    {
        WriteFile(dir_ / "Quorvel.cfg", content);
        return ApplyOptionsFileAt((dir_ / "Quorvel.cfg").c_str());
    }

    TempDir dir_;
};

TEST_F(OptionPass, RefusedLines)
{
    for (const char* line :
         {"/ini", "/ini=", "/ini=\"\"", "setup", "/x", "/", "-", "/log /x", "\"quoted\"",
          "/log=a b", "/\xDDni=a.ini"}) {  // a capital dotted I: not ASCII, no match
        EXPECT_FALSE(ApplySwitchLine(line)) << line;
    }
}

TEST_F(OptionPass, AppliedLines)
{
    for (const char* line :
         {"", "   \t", "/log", "-LOG+", "/Ini=a.ini", "/log- /ini=b.ini", "/INI=c.ini /lOg"}) {
        EXPECT_TRUE(ApplySwitchLine(line)) << line;
    }
}

TEST_F(OptionPass, LogSwitchAndPath)
{
    ApplySwitchLine("/LOG-");
    EXPECT_EQ(gRunSettings.logSwitch, 0);
    ApplySwitchLine("/log=");  // on again, path untouched
    EXPECT_EQ(gRunSettings.logSwitch, 1);
    EXPECT_STREQ(gRunSettings.logPath, "");
    ApplySwitchLine("/log-=\"/srv/logs/my log.txt\"");
    EXPECT_EQ(gRunSettings.logSwitch, 0);
    EXPECT_STREQ(gRunSettings.logPath, "/srv/logs/my log.txt");
    ApplySwitchLine("/log");
    EXPECT_STREQ(gRunSettings.logPath, "/srv/logs/my log.txt");
}

TEST_F(OptionPass, LaterSwitchesOverrideAndRefusalKeepsEarlierEffects)
{
    EXPECT_TRUE(ApplySwitchLine("/ini=a.ini /ini=b.ini"));
    EXPECT_STREQ(gRunSettings.settingsPath, "b.ini");
    EXPECT_FALSE(ApplySwitchLine("/ini=c.ini /bogus /ini=d.ini"));
    EXPECT_STREQ(gRunSettings.settingsPath, "c.ini");
}

TEST_F(OptionPass, PathValuesLongerThanTheFieldAreRefused)
{
    std::string fits(260, 'a');
    std::string tooLong(261, 'b');
    EXPECT_TRUE(ApplySwitchLine(("/ini=" + fits).c_str()));
    EXPECT_EQ(std::string(gRunSettings.settingsPath), fits);
    EXPECT_FALSE(ApplySwitchLine(("/ini=" + tooLong).c_str()));
    EXPECT_FALSE(ApplySwitchLine(("/log=" + tooLong).c_str()));
    EXPECT_EQ(std::string(gRunSettings.settingsPath), fits);
    EXPECT_STREQ(gRunSettings.logPath, "");
    EXPECT_EQ(gRunSettings.logSwitch, 1);
}

TEST_F(OptionPass, OptionsFileSkipsBlankLinesDropsCarriageReturnsAndStopsAtCtrlZ)
{
    EXPECT_TRUE(ApplyOptionsText("\r\n/log-\r\n\r\n   \r\n/ini=x.ini\r\n\x1a/bogus\r\n"));
    EXPECT_EQ(gRunSettings.logSwitch, 0);
    EXPECT_STREQ(gRunSettings.settingsPath, "x.ini");
}

TEST_F(OptionPass, EveryCarriageReturnIsDroppedAndALeadingByteOrderMarkSkipped)
{
    const struct {
        std::string content;
        bool applied;
        const char* settingsPath;
    } rows[] = {
        {"/ini=a\r.ini\n", true, "a.ini"},
        {"/ini=a.ini\r", true, "a.ini"},
        {"\r/ini=\r\ra.ini\r\r\n\r", true, "a.ini"},
        {"\xEF\xBB\xBF/ini=a.ini\r\n", true, "a.ini"},
        {"\xEF\xBB\xBF", true, ""},
        {"\xEF\xBB\xBF\x1a/bogus", true, ""},
        {"\xEF\xBB/ini=a.ini", false, ""},                  // part of a mark is text
        {"\xEF\xBB\xBF\xEF\xBB\xBF/ini=a.ini", false, ""},  // so is a second mark
        {"/log-\n\xEF\xBB\xBF/ini=a.ini\n", false, ""},     // and one further on
    };
    for (const auto& row : rows) {
        ResetRunSettings(nullptr);
        EXPECT_EQ(ApplyOptionsText(row.content), row.applied)
            << testing::PrintToString(row.content);
        EXPECT_STREQ(gRunSettings.settingsPath, row.settingsPath);
    }
}

TEST_F(OptionPass, LongLinesAreReadInPiecesOf259Characters)
{
    // 259 characters fit in one piece; one more character becomes a line of its own, here a
    // bare value, which is refused.
    std::string value(254, 'a');
    EXPECT_TRUE(ApplyOptionsText("/ini=" + value + "\n"));
    EXPECT_EQ(std::string(gRunSettings.settingsPath), value);
    EXPECT_FALSE(ApplyOptionsText("/ini=" + value + "b\n"));
    EXPECT_TRUE(ApplyOptionsText("/ini=" + value + "/log-\n"));
    EXPECT_EQ(gRunSettings.logSwitch, 0);
    // Carriage returns are dropped before the characters are counted.
    EXPECT_TRUE(ApplyOptionsText("/ini=\r" + value + "\r\n"));
}

TEST_F(OptionPass, FinalLineWithoutLineFeedIsApplied)
{
    EXPECT_TRUE(ApplyOptionsText("/log\n/ini=last.ini"));
    EXPECT_STREQ(gRunSettings.settingsPath, "last.ini");
}

// The options file the MSI writes from its SETTINGS and LOG properties reads back, through
// the program's own reading, as exactly the paths given; a path it cannot carry gets no text.
TEST_F(OptionPass, TheMsiOptionsFileReadsBackAsTheGivenPaths)
{
    const std::string longest(252, 'p');  // /ini="..." is then 259 characters, one piece
    struct Row {
        std::string settings;
        std::string log;
        OptionsTextFault fault;
        const char* text;
    } rows[] = {
        {"\\\\SERVER\\Share\\My Apps\\Quorvel.ini", "\\\\SERVER\\Logs\\a b\\Quorvel.log",
         OptionsTextFault::None,
         "/ini=\"\\\\SERVER\\Share\\My Apps\\Quorvel.ini\"\r\n"
         "/log=\"\\\\SERVER\\Logs\\a b\\Quorvel.log\"\r\n"},
        {"C:/Quorvel/x.ini", "", OptionsTextFault::None, "/ini=\"C:/Quorvel/x.ini\"\r\n"},
        {"", "\\\\S\\R&D 100%\\caf\xE9.log", OptionsTextFault::None,
         "/log=\"\\\\S\\R&D 100%\\caf\xE9.log\"\r\n"},
        {"", "", OptionsTextFault::None, ""},
        {longest, "", OptionsTextFault::None, nullptr},
        {longest + "p", "x.log", OptionsTextFault::TooLong, ""},
        {"a\"b", "x.log", OptionsTextFault::Unquotable, ""},
        {"x.ini", "a\tb", OptionsTextFault::Unquotable, ""},
        {"x.ini",
         "a\x1A"
         "b",
         OptionsTextFault::Unquotable, ""},  // Ctrl-Z would end the file
    };
    for (const Row& row : rows) {
        char text[1024];
        size_t length = 99;
        ASSERT_EQ(ComposeOptionsFileText(row.settings.c_str(), row.log.c_str(), text, sizeof text,
                                         &length),
                  row.fault)
            << row.settings;
        EXPECT_EQ(length, std::strlen(text));
        if (row.text != nullptr) {
            EXPECT_STREQ(text, row.text);
        }
        if (row.fault == OptionsTextFault::None) {
            ResetRunSettings(nullptr);
            ASSERT_TRUE(ApplyOptionsText(text)) << text;
            EXPECT_EQ(gRunSettings.settingsPath, row.settings);
            EXPECT_EQ(gRunSettings.logPath, row.log);
        }
    }
    char small[16];
    size_t length = 0;
    EXPECT_EQ(ComposeOptionsFileText("x.ini", "y.log", small, sizeof small, &length),
              OptionsTextFault::NoRoom);
    EXPECT_STREQ(small, "");
}

// The MSI's period properties and the task definitions it registers from them.
TEST_F(OptionPass, TheMsiTaskPropertiesAndDefinitions)
{
    struct Row {
        std::wstring text;
        bool read;
        unsigned hours;
    } rows[] = {{L"", true, 7},
                {L"0", true, 0},
                {L"2", true, 2},
                {L"0024", true, 24},
                {L"8760", true, 8760},
                {L"8761", false, 0},
                {L"99999999999", false, 0},
                {L"-1", false, 0},
                {L"2h", false, 0},
                {L" 2", false, 0}};
    for (const Row& row : rows) {
        unsigned hours = 12345;
        EXPECT_EQ(ReadTaskHours(row.text, 7, &hours), row.read);
        if (row.read) {
            EXPECT_EQ(hours, row.hours);
        }
    }
    std::wstring machine = MachineTaskXml(L"C:\\R&D <x>\\quorvel.exe", L"/ini=\"\\\\S\\a&b.ini\"",
                                          2);
    EXPECT_NE(machine.find(L"<Command>&quot;C:\\R&amp;D &lt;x&gt;\\quorvel.exe&quot;</Command>"),
              std::wstring::npos);
    EXPECT_NE(machine.find(L"<Arguments>/ini=&quot;\\\\S\\a&amp;b.ini&quot;</Arguments>"),
              std::wstring::npos);
    EXPECT_NE(machine.find(L"<Interval>PT2H</Interval>"), std::wstring::npos);
    EXPECT_NE(machine.find(L"<RandomDelay>PT30M</RandomDelay>"), std::wstring::npos);
    // At start-up only: the boot trigger and no periodic one.
    std::wstring startUp = MachineTaskXml(L"q.exe", L"", 0);
    EXPECT_NE(startUp.find(L"<BootTrigger>"), std::wstring::npos);
    EXPECT_EQ(startUp.find(L"<TimeTrigger>"), std::wstring::npos);
    EXPECT_EQ(startUp.find(L"<Arguments>"), std::wstring::npos);
    EXPECT_NE(UserTaskXml(L"q.exe", 100).find(L"<RandomDelay>PT60M</RandomDelay>"),
              std::wstring::npos);
}

}  // namespace
