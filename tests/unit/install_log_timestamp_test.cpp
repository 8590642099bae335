// The log's timestamp: names, two-digit fields, the zone name from TZ, the daylight rule.
#include <gtest/gtest.h>

#include "support/test_support.h"

#include <cstdlib>
#include <string>

#include "string_table.h"
#include "update/log_timestamp.h"

namespace {

// Sunday 6 December 2026, 09:12:44.
SYSTEMTIME Sunday()
{
    SYSTEMTIME time{};
    time.wYear = 2026;
    time.wMonth = 12;
    time.wDayOfWeek = 0;
    time.wDay = 6;
    time.wHour = 9;
    time.wMinute = 12;
    time.wSecond = 44;
    return time;
}

std::string Format(const SYSTEMTIME& time, const char* tz, bool isDaylight,
                   const char* format = STR_TIMESTAMP_FORMAT)
{
    char out[kTimestampSize];
    int length = FormatLogTimestamp(format, time, tz, isDaylight, out, kTimestampSize);
    EXPECT_EQ(length, static_cast<int>(std::string(out).size()));
    return out;
}

// Sets TZ (or clears it, for nullptr) for one scope.
class TzScope : public testing_support::ScopedEnvironmentVariable {
public:
    explicit TzScope(const char* value) : ScopedEnvironmentVariable("TZ", value) {}
};

TEST(LogTimestamp, ZoneNameComesFromTzAlone)
{
    const struct {
        const char* tz;
        bool isDaylight;
        const char* name;
    } rows[] = {
        {nullptr, false, " "},
        {nullptr, true, " "},
        {"", false, " "},
        {"GMT0", false, " GMT"},
        {"GMT0", true, " GMT"},
        {"EST5EDT", false, " EST"},
        {"EST5EDT", true, " EDT"},
        {"EST+5EDT", true, " EDT"},
        {"CET-1CES", true, " CES"},
        {"IST-5:30IDT", true, " IDT"},
        {"XYZ-5:30:15ABC", true, " ABC"},
        {"EST12EDT", true, " EDT"},
        {"est5edt", true, " edt"},
        {"EST5ED", true, " EST"},
        {"EST5", true, " EST"},
        {"EST5:", true, " EST"},
        {"EST", false, " "},
        {"ES5", false, " "},
        {"EST+", false, " "},
        {"EST+X", false, " "},
        {"EST 5", false, " "},
        {"E1T5", false, " "},
        {"EST-", false, " "},
        {"Europe/Paris", false, " "},
        {":UTC", false, " "},
        {"UTC", false, " "},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Format(Sunday(), row.tz, row.isDaylight, "x %Z"), std::string("x") + row.name)
            << (row.tz ? row.tz : "(unset)") << " daylight " << row.isDaylight;
    }
}

TEST(LogTimestamp, FormatsTheSettingsOfTheLineByteForByte)
{
    EXPECT_EQ(Format(Sunday(), nullptr, false), "Sun, 06 Dec 2026 09:12:44 ");
    EXPECT_EQ(Format(Sunday(), "GMT0", false), "Sun, 06 Dec 2026 09:12:44 GMT");
    EXPECT_EQ(Format(Sunday(), "EST5EDT", false), "Sun, 06 Dec 2026 09:12:44 EST");
    SYSTEMTIME summer{2026, 7, 3, 15, 23, 5, 9, 999};
    EXPECT_EQ(Format(summer, "EST5EDT", true), "Wed, 15 Jul 2026 23:05:09 EDT");
    SYSTEMTIME first{1999, 1, 6, 1, 0, 0, 0, 0};
    EXPECT_EQ(Format(first, nullptr, false), "Sat, 01 Jan 1999 00:00:00 ");
}

TEST(LogTimestamp, EveryDayAndMonthHasItsEnglishName)
{
    const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    SYSTEMTIME time = Sunday();
    for (WORD day = 0; day < 7; ++day) {
        time.wDayOfWeek = day;
        EXPECT_EQ(Format(time, nullptr, false, "%a"), days[day]);
    }
    for (WORD month = 1; month <= 12; ++month) {
        time.wMonth = month;
        EXPECT_EQ(Format(time, nullptr, false, "%b"), months[month - 1]);
    }
}

TEST(LogTimestamp, OutputIsBoundedAndOddInputsStaySafe)
{
    char out[10];
    EXPECT_EQ(FormatLogTimestamp(STR_TIMESTAMP_FORMAT, Sunday(), "GMT0", false, out, 10), 9);
    EXPECT_STREQ(out, "Sun, 06 D");
    SYSTEMTIME odd = Sunday();
    odd.wDayOfWeek = 7;
    odd.wMonth = 13;
    EXPECT_EQ(Format(odd, nullptr, false, "[%a][%b]"), "[][]");
    EXPECT_EQ(Format(Sunday(), nullptr, false, "100%% %q %"), "100% %q %");
    EXPECT_EQ(Format(Sunday(), nullptr, false, nullptr), "");
    std::string longFormat(200, 'x');
    EXPECT_EQ(Format(Sunday(), nullptr, false, longFormat.c_str()).size(), 49u);
}

TEST(LogTimestamp, DaylightFollowsTheCLibraryReadingOfTz)
{
    const std::time_t january = 1768478400;  // 2026-01-15 12:00 UTC
    const std::time_t july = 1784116800;     // 2026-07-15 12:00 UTC
    {
        TzScope tz("EST5EDT");
        EXPECT_FALSE(DaylightSavingInEffect(january));
        EXPECT_TRUE(DaylightSavingInEffect(july));
    }
    {
        TzScope tz("GMT0");
        EXPECT_FALSE(DaylightSavingInEffect(january));
        EXPECT_FALSE(DaylightSavingInEffect(july));
    }
}

}  // namespace
