// The two line forms byte for byte, hostile field lengths, and the string table.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/run_settings.h"
#include "string_table.h"
#include "update/log_line.h"

namespace {

RunSettings Settings(int namesObtained, const char* computer, const char* user)
{
    RunSettings settings{};
    settings.namesObtained = namesObtained;
    std::strncpy(settings.computerName, computer, kNameFieldSize - 1);
    std::strncpy(settings.userName, user, kNameFieldSize - 1);
    return settings;
}

std::string Compose(const char* timestamp, const char* name, const RunSettings& settings)
{
    char line[kLogLineSize];
    int length = ComposeInstallLogLine(timestamp, name, settings, line);
    EXPECT_EQ(length, static_cast<int>(std::strlen(line)));
    return line;
}

const char kStamp[] = "Sun, 06 Dec 2026 09:12:44 ";

TEST(LogLine, BothFormsByteForByte)
{
    const struct {
        int namesObtained;
        const char* timestamp;
        const char* name;
        const char* line;
    } rows[] = {
        {1, kStamp, "Word", "Sun, 06 Dec 2026 09:12:44  - Word (\\\\BOX, user ann)\r\n"},
        {0, kStamp, "Word", "Sun, 06 Dec 2026 09:12:44  - Word\r\n"},
        {1, "Sun, 06 Dec 2026 09:12:44 GMT", "Word",
         "Sun, 06 Dec 2026 09:12:44 GMT - Word (\\\\BOX, user ann)\r\n"},
        {0, "Sun, 06 Dec 2026 09:12:44 EDT", "Word", "Sun, 06 Dec 2026 09:12:44 EDT - Word\r\n"},
        {1, kStamp, "100% %s %d %%",
         "Sun, 06 Dec 2026 09:12:44  - 100% %s %d %% (\\\\BOX, user ann)\r\n"},
        {0, kStamp, "", "Sun, 06 Dec 2026 09:12:44  - \r\n"},
        {0, kStamp, nullptr, "Sun, 06 Dec 2026 09:12:44  - \r\n"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Compose(row.timestamp, row.name, Settings(row.namesObtained, "BOX", "ann")),
                  row.line);
    }
}

TEST(LogLine, LongestLineIsWholeAndEndsInCrLf)
{
    std::string name(259, 'N');
    std::string computer(49, 'C');
    std::string user(49, 'U');
    std::string stamp(49, 'T');
    std::string line = Compose(stamp.c_str(), name.c_str(),
                               Settings(1, computer.c_str(), user.c_str()));
    EXPECT_EQ(line, stamp + " - " + name + " (\\\\" + computer + ", user " + user + ")\r\n");
    EXPECT_EQ(line.size(), 49u + 3 + 259 + 4 + 49 + 7 + 49 + 3);
}

TEST(LogLine, OverlongInputsAreCutToTheirFieldsAndTheLineStaysWhole)
{
    std::string name(5000, 'N');
    std::string stamp(300, 'T');
    RunSettings settings{};
    settings.namesObtained = 1;
    std::memset(settings.computerName, 'C', kNameFieldSize);  // no terminator
    std::memset(settings.userName, 'U', kNameFieldSize);
    std::string line = Compose(stamp.c_str(), name.c_str(), settings);
    EXPECT_EQ(line, std::string(49, 'T') + " - " + std::string(259, 'N') + " (\\\\" +
                        std::string(49, 'C') + ", user " + std::string(49, 'U') + ")\r\n");
}

TEST(StringTable, LoadsEachStringCutToTheBuffer)
{
    const struct {
        UINT id;
        const char* text;
    } rows[] = {
        {18000, "%a, %d %b %Y %H:%M:%S %Z"},
        {18001, "%s - %s (\\\\%s, user %s)\r\n"},
        {18002, "%s - %s\r\n"},
        {18003, "Quorvel"},
        {18004, "Unable to execute 32-bit helper application."},
    };
    for (const auto& row : rows) {
        char out[256];
        EXPECT_EQ(LoadStringA(nullptr, row.id, out, sizeof out),
                  static_cast<int>(std::strlen(row.text)));
        EXPECT_STREQ(out, row.text);
        char small[5] = "????";
        EXPECT_EQ(LoadStringA(nullptr, row.id, small, 4), 3);
        EXPECT_EQ(std::string(small, 3), std::string(row.text, 3));
        EXPECT_EQ(small[3], '\0');
    }
    char out[8] = "junk";
    EXPECT_EQ(LoadStringA(nullptr, 17999, out, sizeof out), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(LoadStringA(nullptr, 18001, out, 1), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(LoadStringA(nullptr, 18001, out, 0), 0);
    EXPECT_EQ(LoadStringA(nullptr, 18001, nullptr, 8), 0);
}

}  // namespace
