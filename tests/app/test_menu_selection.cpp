// Menu selection with the mouse, as logic: which key a click presses, how a
// walk goes on with each status record, double clicks and the 100 ms hold.
#include "instrument/MenuSelection.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

constexpr uint32_t T0 = 5000;

} // namespace

TEST(MenuSelection, ClickBelowTheHighlightWalksDownAndAboveWalksUp)
{
    MenuSelection s;
    // Menu 10, item 1 highlighted; row 4 is y 40..48.
    EXPECT_EQ(s.click(11, 60, 44, T0), MeterKey::Down);
    EXPECT_EQ(s.target(), 14);
    s.cancel();
    EXPECT_EQ(s.click(13, 60, 8, T0), MeterKey::Up);
    EXPECT_EQ(s.target(), 10);
}

TEST(MenuSelection, ClickOnTheHighlightedLinePressesEnterAtOnce)
{
    MenuSelection s;
    EXPECT_EQ(s.click(22, 100, 24.5, T0), MeterKey::Enter);
    EXPECT_FALSE(s.pending());
}

TEST(MenuSelection, ClickAreasEndExclusive)
{
    MenuSelection s;
    // Menu 20: x 40..122, y 8..56.
    EXPECT_FALSE(s.click(20, 39.5, 20, T0));
    EXPECT_FALSE(s.click(20, 122, 20, T0));
    EXPECT_FALSE(s.click(20, 60, 56, T0));
    EXPECT_EQ(s.click(20, 121.5, 55.5, T0), MeterKey::Down);
    EXPECT_EQ(s.target(), 25);
}

TEST(MenuSelection, TwoColumnMenusCountTheRightColumnOn)
{
    MenuSelection s;
    // Autosave intervals: five rows per column from y 19.
    EXPECT_EQ(s.click(140, 100, 19 + 8 * 2 + 1, T0), MeterKey::Down);
    EXPECT_EQ(s.target(), 147);
    s.cancel();
    EXPECT_EQ(s.click(149, 70, 19, T0), MeterKey::Up);
    EXPECT_EQ(s.target(), 140);
    s.cancel();
    // Auto-off: four rows per column from y 24.
    EXPECT_EQ(s.click(2520, 93, 24, T0), MeterKey::Down);
    EXPECT_EQ(s.target(), 2524);
}

TEST(MenuSelection, YesNoQuestionsAndSubmenus)
{
    MenuSelection s;
    EXPECT_EQ(s.click(3510, 90, 48, T0), MeterKey::Down);   // NO
    EXPECT_EQ(s.target(), 3511);
    s.cancel();
    EXPECT_EQ(s.click(2533, 60, 24, T0), MeterKey::Up);     // RS 232: 1200 baud
    EXPECT_EQ(s.target(), 2530);
    s.cancel();
    // Menu 250 starts at y 16.
    EXPECT_EQ(s.click(250, 60, 50, T0), MeterKey::Down);
    EXPECT_EQ(s.target(), 254);
}

TEST(MenuSelection, SoftKeyLabelsPressModeSetMemo)
{
    MenuSelection s;
    EXPECT_EQ(s.click(10, 3, 10, T0), MeterKey::Mode);
    EXPECT_EQ(s.click(10, 3, 22, T0), MeterKey::Set);
    EXPECT_EQ(s.click(10, 7, 63, T0), MeterKey::Memo);
    EXPECT_FALSE(s.click(10, 3, 20, T0));     // between the labels
    EXPECT_FALSE(s.click(10, 7.5, 10, T0));   // right of them
    // Menus without the labels, and screens that are no menus.
    EXPECT_FALSE(s.click(1400, 3, 10, T0));
    EXPECT_FALSE(s.click(0, 60, 20, T0));
    EXPECT_FALSE(s.click(60050, 60, 20, T0));
    EXPECT_FALSE(s.pending());
}

TEST(MenuSelection, EachStatusRecordTakesTheWalkOneStepOn)
{
    MenuSelection s;
    ASSERT_EQ(s.click(10, 60, 40, T0), MeterKey::Down);   // to item 4
    EXPECT_EQ(s.continueOn(11, T0 + 60), MeterKey::Down);
    EXPECT_EQ(s.continueOn(12, T0 + 120), MeterKey::Down);
    EXPECT_EQ(s.continueOn(13, T0 + 180), MeterKey::Down);
    // Reached, and more than 100 ms after the click: done, no ENTER.
    EXPECT_FALSE(s.continueOn(14, T0 + 240));
    EXPECT_FALSE(s.pending());
}

TEST(MenuSelection, AReachedTargetWaitsForADoubleClickWithin100Ms)
{
    MenuSelection s;
    ASSERT_EQ(s.click(20, 60, 16, T0), MeterKey::Down);
    EXPECT_FALSE(s.continueOn(21, T0 + 50));
    ASSERT_TRUE(s.pending());
    // Clicks are ignored while it waits...
    EXPECT_FALSE(s.click(21, 60, 40, T0 + 60));
    // ...and a double click confirms the reached line.
    EXPECT_EQ(s.doubleClick(21), MeterKey::Enter);
    EXPECT_FALSE(s.pending());
}

TEST(MenuSelection, ADoubleClickOnTheWayPressesEnterOnArrival)
{
    MenuSelection s;
    ASSERT_EQ(s.click(30, 60, 40, T0), MeterKey::Down);   // to item 4
    EXPECT_FALSE(s.doubleClick(30));
    EXPECT_TRUE(s.enterRequested());
    EXPECT_EQ(s.continueOn(31, T0 + 40), MeterKey::Down);
    EXPECT_EQ(s.continueOn(32, T0 + 80), MeterKey::Down);
    EXPECT_EQ(s.continueOn(33, T0 + 120), MeterKey::Down);
    EXPECT_EQ(s.continueOn(34, T0 + 160), MeterKey::Enter);
    EXPECT_FALSE(s.pending());
}

TEST(MenuSelection, EnterIsPressedOnceEvenIfTheMeterStaysOnTheLine)
{
    MenuSelection s;
    ASSERT_EQ(s.click(20, 60, 16, T0), MeterKey::Down);
    s.doubleClick(20);
    EXPECT_EQ(s.continueOn(21, T0 + 30), MeterKey::Enter);
    // A setting toggled in place: the same screen again, still within 100 ms.
    EXPECT_FALSE(s.continueOn(21, T0 + 60));
}

TEST(MenuSelection, AnotherMenuDropsTheTargetAfter100Ms)
{
    MenuSelection s;
    ASSERT_EQ(s.click(10, 60, 40, T0), MeterKey::Down);
    EXPECT_FALSE(s.continueOn(150, T0 + 50));
    EXPECT_TRUE(s.pending());
    EXPECT_FALSE(s.continueOn(150, T0 + 101));
    EXPECT_FALSE(s.pending());
}

TEST(MenuSelection, AStaleReachedTargetDoesNotBlockTheNextClick)
{
    MenuSelection s;
    ASSERT_EQ(s.click(20, 60, 16, T0), MeterKey::Down);
    EXPECT_FALSE(s.continueOn(21, T0 + 40));   // reached within the hold
    // No further record comes; a click later is taken.
    EXPECT_EQ(s.click(21, 60, 40, T0 + 500), MeterKey::Down);
    EXPECT_EQ(s.target(), 24);
}

TEST(MenuSelection, UpWhenTheMeterOvershoots)
{
    MenuSelection s;
    ASSERT_EQ(s.click(10, 60, 16, T0), MeterKey::Down);   // to item 1
    EXPECT_EQ(s.continueOn(12, T0 + 40), MeterKey::Up);
}
