// The switch grammar, row by row, and the item class's copy, assignment and equality.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cmdline/command_line.h"

namespace {

// What one item must hold; a null text means the string is absent.
struct Item {
    int isSwitch;
    int isOn;
    const char* name;
    const char* value;
    const char* upperValue;
    int number;
};

struct ParseCase {
    std::string text;
    int parsed;
    std::vector<Item> items;
};

const char kQ = '"';
std::string Q(const std::string& inner)
{
    return std::string(1, kQ) + inner + kQ;
}

std::vector<ParseCase> GrammarTable()
{
    return {
        {"", 0, {}},
        {"   \t", 1, {}},
        {"/log", 1, {{1, 1, "log", nullptr, nullptr, 0}}},
        {"/log-", 1, {{1, 0, "log", nullptr, nullptr, 0}}},
        {"/Log+=x", 1, {{1, 1, "Log", "x", "X", 0}}},
        {"/name-=v", 1, {{1, 0, "name", "v", "V", 0}}},
        {"/", 1, {{1, 1, "", nullptr, nullptr, 0}}},
        {"-", 1, {{1, 1, "", nullptr, nullptr, 0}}},
        {"/=x", 1, {{1, 1, "", "x", "X", 0}}},
        {"/ini=", 1, {{1, 1, "ini", nullptr, nullptr, 0}}},
        {"/ini=" + Q(""), 1, {{1, 1, "ini", nullptr, nullptr, 0}}},
        {"/ini=" + Q("a b.ini") + "/log",
         1,
         {{1, 1, "ini", "a b.ini", "A B.INI", 0}, {1, 1, "log", nullptr, nullptr, 0}}},
        {"/ini=" + Q("a\tb"), 1, {{1, 1, "ini", "a\tb", "A\tB", 0}}},
        {"/log=" + std::string(1, kQ) + "x y", 1, {{1, 1, "log", "x y", "X Y", 0}}},
        {Q("a b"), 1, {{0, 0, nullptr, "a b", "A B", 0}}},
        {"/log/install",
         1,
         {{1, 1, "log", nullptr, nullptr, 0}, {1, 1, "install", nullptr, nullptr, 0}}},
        {"/ini=c:/dir/a.ini",
         1,
         {{1, 1, "ini", "c:", "C:", 0},
          {1, 1, "dir", nullptr, nullptr, 0},
          {1, 1, "a.ini", nullptr, nullptr, 0}}},
        {"/a-b", 1, {{1, 0, "a", nullptr, nullptr, 0}, {0, 0, nullptr, "b", "B", 0}}},
        {"/a+b", 1, {{1, 1, "a", nullptr, nullptr, 0}, {0, 0, nullptr, "b", "B", 0}}},
        {"/a b", 1, {{1, 1, "a", nullptr, nullptr, 0}, {0, 0, nullptr, "b", "B", 0}}},
        {"/a= b", 1, {{1, 1, "a", nullptr, nullptr, 0}, {0, 0, nullptr, "b", "B", 0}}},
        {"--x", 1, {{1, 0, "", nullptr, nullptr, 0}, {0, 0, nullptr, "x", "X", 0}}},
        {"-5", 1, {{1, 1, "5", nullptr, nullptr, 0}}},
        {"/n=-5", 1, {{1, 1, "n", "-5", "-5", -5}}},
        {"/n=12abc", 1, {{1, 1, "n", "12abc", "12ABC", 12}}},
        {"/n=abc", 1, {{1, 1, "n", "abc", "ABC", 0}}},
        {"/n=" + Q(" 12"), 1, {{1, 1, "n", " 12", " 12", 12}}},
        {"/x" + Q("y z"),
         1,
         {{1, 1, "x\"y", nullptr, nullptr, 0}, {0, 0, nullptr, "z\"", "Z\"", 0}}},
        {"one\vtwo", 1, {{0, 0, nullptr, "one\vtwo", "ONE\vTWO", 0}}},
        // Bytes above 127 are ordinary bytes and are not upper-cased.
        {"/v=\xe9t\xe9", 1, {{1, 1, "v", "\xe9t\xe9", "\xe9T\xe9", 0}}},
        // Numbers wrap modulo 2^32.
        {"/n=4294967297", 1, {{1, 1, "n", "4294967297", "4294967297", 1}}},
        {"/n=2147483648", 1, {{1, 1, "n", "2147483648", "2147483648", -2147483647 - 1}}},
        {"/n=-2147483649", 1, {{1, 1, "n", "-2147483649", "-2147483649", 2147483647}}},
    };
}

void ExpectString(const char* actual, const char* expected, const std::string& what)
{
    if (expected == nullptr) {
        EXPECT_EQ(actual, nullptr) << what;
    } else {
        ASSERT_NE(actual, nullptr) << what;
        EXPECT_STREQ(actual, expected) << what;
    }
}

TEST(CommandLineGrammar, EveryRowOfTheTable)
{
    for (const ParseCase& row : GrammarTable()) {
        SCOPED_TRACE("text: [" + row.text + "]");
        CommandLine line(row.text.c_str());
        EXPECT_EQ(line.parsed, row.parsed);
        ASSERT_EQ(line.count, static_cast<int>(row.items.size()));
        EXPECT_EQ(line.current, line.first);
        CmdParameter* item = line.first;
        for (const Item& expected : row.items) {
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item->isSwitch, expected.isSwitch);
            EXPECT_EQ(item->isOn, expected.isOn);
            ExpectString(item->name, expected.name, "name");
            ExpectString(item->value, expected.value, "value");
            ExpectString(item->upperValue, expected.upperValue, "upperValue");
            EXPECT_EQ(item->number, expected.number);
            item = item->link;
        }
        EXPECT_EQ(item, nullptr);
    }
}

TEST(CommandLineGrammar, AbsentTextParsesToNothing)
{
    CommandLine line(nullptr);
    EXPECT_EQ(line.parsed, 0);
    EXPECT_EQ(line.count, 0);
    EXPECT_EQ(line.first, nullptr);
    EXPECT_EQ(line.Next(), nullptr);
}

TEST(CommandLineGrammar, OnlyTheFirst1023BytesAreSeen)
{
    // A quoted value that crosses the cut ends there as if unterminated.
    std::string text = "/log=\"" + std::string(1100, 'a') + "\" /x";
    CommandLine line(text.c_str());
    ASSERT_EQ(line.count, 1);
    EXPECT_EQ(std::string(line.first->value), std::string(1023 - 6, 'a'));
}

TEST(CommandLineGrammar, CallersTextIsNeverChanged)
{
    char text[] = "/ini=abc";
    CommandLine line(text);
    EXPECT_STREQ(text, "/ini=abc");
    EXPECT_STREQ(line.first->value, "abc");
}

TEST(CommandLineWalk, NextMovesOnAndStaysNullAtTheEnd)
{
    CommandLine line("/a /b");
    CmdParameter* first = line.first;
    EXPECT_STREQ(line.Next()->name, "b");
    EXPECT_EQ(line.Next(), nullptr);
    EXPECT_EQ(line.Next(), nullptr);
    line.current = first;
    EXPECT_STREQ(line.Next()->name, "b");
}

TEST(CmdParameterCopy, CopiesOwnTheirStringsAndAbsentBecomesEmpty)
{
    CommandLine line("/log=x /install");
    CmdParameter copy(*line.first);
    EXPECT_NE(copy.value, line.first->value);
    EXPECT_STREQ(copy.value, "x");
    EXPECT_EQ(copy.link, line.first->link);

    CmdParameter bare(*line.first->link);
    ASSERT_NE(bare.value, nullptr);
    EXPECT_STREQ(bare.value, "");
    EXPECT_TRUE(bare == *line.first->link);  // absent and empty compare equal
}

TEST(CmdParameterCopy, AssignmentIncludingToItself)
{
    CommandLine line("/Log=abc -ini-");
    CmdParameter target(*line.first->link);
    target = *line.first;
    EXPECT_STREQ(target.name, "Log");
    EXPECT_STREQ(target.upperValue, "ABC");
    EXPECT_EQ(target.isOn, 1);

    CmdParameter& alias = target;
    target = alias;
    EXPECT_STREQ(target.name, "Log");
    EXPECT_STREQ(target.value, "abc");
}

TEST(CmdParameterEquality, IgnoresCaseButNotFlagsOrNumbers)
{
    CommandLine a("/LOG=ABC /log-=abc /n=5 /n=05 /n=6");
    CmdParameter* logOn = a.first;
    CmdParameter* logOff = logOn->link;
    CmdParameter* five = logOff->link;
    CmdParameter* zeroFive = five->link;
    CmdParameter* six = zeroFive->link;
    CommandLine b("/log=abc");
    EXPECT_TRUE(*logOn == *b.first);
    EXPECT_FALSE(*logOn == *logOff);
    EXPECT_FALSE(*five == *zeroFive);  // same number, different value text
    EXPECT_FALSE(*five == *six);
}

}  // namespace
