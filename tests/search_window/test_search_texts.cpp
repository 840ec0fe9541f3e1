// The count texts and numbered result items of the meter search.
#include "meter/MeterSearchTexts.h"

#include <gtest/gtest.h>

using namespace qv;

TEST(SearchTexts, CountFollowsEachLanguagesPluralRules)
{
    EXPECT_EQ(searchtext::countText(1, 1), "1 meter found.");
    for (int n : {2, 11, 21})
        EXPECT_EQ(searchtext::countText(1, n), QStringLiteral("%1 meters found.").arg(n)) << n;
    const std::pair<int, const char *> cases[] = {
        {1, "miernik"},    {2, "mierniki"},   {3, "mierniki"},   {4, "mierniki"},
        {5, "mierników"},  {11, "mierników"}, {12, "mierników"}, {14, "mierników"},
        {20, "mierników"}, {21, "mierników"}, {22, "mierniki"},  {24, "mierniki"},
        {25, "mierników"}, {100, "mierników"}, {101, "mierników"}, {103, "mierniki"},
        {112, "mierników"}, {122, "mierniki"},
    };
    for (const auto &[n, word] : cases) {
        EXPECT_EQ(searchtext::countText(0, n),
                  QStringLiteral("Znaleziono %1 %2.").arg(n).arg(QString::fromUtf8(word)))
            << n;
    }
}

TEST(SearchTexts, ResultItemsArePaddedToTheWidthOfTheCount)
{
    EXPECT_EQ(searchtext::resultItem(1, 2, 2, "/dev/ttyS1"), "Meter 2 on port /dev/ttyS1");
    EXPECT_EQ(searchtext::resultItem(0, 7, 100, "COM7"), "Miernik 007 dołączony do portu COM7");
}
