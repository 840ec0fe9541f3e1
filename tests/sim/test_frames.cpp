// The meter's calendar clock. (Its frames are read by the program's own
// decoders in the integration tests and byte by byte in the other tests here.)
#include "engine/meterclock.h"

#include <gtest/gtest.h>

using namespace qvsim;

TEST(SimClock, CalendarRoundTripsAcrossLeapYears)
{
    for (const DateTime &t : {DateTime{2000, 1, 1, 0, 0, 0}, DateTime{2024, 2, 29, 12, 0, 1},
                              DateTime{2023, 12, 31, 23, 59, 59}, DateTime{2099, 12, 31, 23, 59, 59}}) {
        EXPECT_TRUE(fromSeconds(toSeconds(t)) == t) << dateText(t) << " " << timeText(t);
    }
    EXPECT_EQ(toSeconds(DateTime{2000, 3, 1, 0, 0, 0}) - toSeconds(DateTime{2000, 2, 28, 0, 0, 0}), 2 * 86400);
    EXPECT_EQ(toSeconds(DateTime{2100 - 1, 3, 1, 0, 0, 0}) - toSeconds(DateTime{2099, 2, 28, 0, 0, 0}), 86400);
}

TEST(SimClock, DateAndTimeFieldsParseAndRunWithTheEngineClock)
{
    DateTime t{2024, 1, 1, 8, 0, 0};
    EXPECT_TRUE(parseDateText("29.02.24", t));
    EXPECT_EQ(t.day, 29);
    EXPECT_EQ(t.hour, 8);  // the time part stays
    for (const char *bad : {"29.02.23", "31.04.24", "00.01.24", "1.1.24"})
        EXPECT_FALSE(parseDateText(bad, t)) << bad;
    EXPECT_TRUE(parseTimeText("23:59:59", t));
    for (const char *bad : {"24:00:00", "12:60:00"})
        EXPECT_FALSE(parseTimeText(bad, t)) << bad;
    EXPECT_EQ(dateText(t), "29.02.24");  // refused texts changed nothing
    EXPECT_EQ(timeText(t), "23:59:59");

    MeterClock c;
    c.set(DateTime{2024, 12, 31, 23, 59, 58}, 1000);
    EXPECT_EQ(c.at(2999).second, 59);
    EXPECT_TRUE((c.at(3000) == DateTime{2025, 1, 1, 0, 0, 0}));
}
