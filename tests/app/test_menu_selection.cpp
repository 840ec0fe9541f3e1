// Menu selection with the mouse, as logic: which key a click presses, how a
// walk goes on with each status record, double clicks and the 100 ms hold.
#include "instrument/MenuSelection.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace qv;

namespace {

constexpr uint32_t T0 = 5000;
constexpr std::nullopt_t None = std::nullopt;

} // namespace

TEST(MenuSelection, WhatAClickPressesAndWhereItWalks)
{
    struct Case {
        const char *what;
        int screen;
        double x, y;
        std::optional<MeterKey> key;
        int target;   // -1: nothing pending afterwards
    };
    const Case cases[] = {
        // Menu 10, item 1 highlighted; row 4 is y 40..48.
        {"below the highlight", 11, 60, 44, MeterKey::Down, 14},
        {"above the highlight", 13, 60, 8, MeterKey::Up, 10},
        {"on the highlighted line", 22, 100, 24.5, MeterKey::Enter, -1},
        // Menu 20: x 40..122, y 8..56, the ends exclusive.
        {"left of the lines", 20, 39.5, 20, None, -1},
        {"right end", 20, 122, 20, None, -1},
        {"bottom end", 20, 60, 56, None, -1},
        {"last pixel inside", 20, 121.5, 55.5, MeterKey::Down, 25},
        // Autosave intervals: five rows per column from y 19.
        {"right column", 140, 100, 19 + 8 * 2 + 1, MeterKey::Down, 147},
        {"left column", 149, 70, 19, MeterKey::Up, 140},
        // Auto-off: four rows per column from y 24.
        {"auto-off right column", 2520, 93, 24, MeterKey::Down, 2524},
        {"yes/no: NO", 3510, 90, 48, MeterKey::Down, 3511},
        {"RS 232: 1200 baud", 2533, 60, 24, MeterKey::Up, 2530},
        {"menu 250 starts at y 16", 250, 60, 50, MeterKey::Down, 254},
        // The soft-key labels.
        {"MODE label", 10, 3, 10, MeterKey::Mode, -1},
        {"SET label", 10, 3, 22, MeterKey::Set, -1},
        {"MEMO label", 10, 7, 63, MeterKey::Memo, -1},
        {"between the labels", 10, 3, 20, None, -1},
        {"right of the labels", 10, 7.5, 10, None, -1},
        {"menu without labels", 1400, 3, 10, None, -1},
        {"measurement screen", 0, 60, 20, None, -1},
        {"a dialog", 60050, 60, 20, None, -1},
    };
    for (const Case &c : cases) {
        MenuSelection s;
        EXPECT_EQ(s.click(c.screen, c.x, c.y, T0), c.key) << c.what;
        EXPECT_EQ(s.target(), c.target) << c.what;
        EXPECT_EQ(s.pending(), c.target >= 0) << c.what;
    }
}

// A walk: the click, then status records (screen, time after the click)
// with the key each one presses.
struct Walk {
    const char *what;
    int screen;
    double y;
    bool doubleClick;
    std::vector<std::tuple<int, uint32_t, std::optional<MeterKey>>> records;
    std::optional<bool> pendingAtEnd;   // none: not asked
};

TEST(MenuSelection, EachStatusRecordTakesTheWalkOneStepOn)
{
    const Walk walks[] = {
        // Reached more than 100 ms after the click: done, no ENTER.
        {"down to item 4", 10, 40, false,
         {{11, 60, MeterKey::Down}, {12, 120, MeterKey::Down}, {13, 180, MeterKey::Down}, {14, 240, None}}, false},
        // A double click on the way presses ENTER on arrival.
        {"double click on the way", 30, 40, true,
         {{31, 40, MeterKey::Down}, {32, 80, MeterKey::Down}, {33, 120, MeterKey::Down}, {34, 160, MeterKey::Enter}},
         false},
        // ENTER once even if the meter stays on the line (a setting toggled in place).
        {"enter once", 20, 16, true, {{21, 30, MeterKey::Enter}, {21, 60, None}}, None},
        // Another menu drops the target after 100 ms.
        {"another menu", 10, 40, false, {{150, 50, None}}, true},
        {"another menu, later", 10, 40, false, {{150, 50, None}, {150, 101, None}}, false},
        {"the meter overshoots", 10, 16, false, {{12, 40, MeterKey::Up}}, true},
    };
    for (const Walk &w : walks) {
        MenuSelection s;
        ASSERT_EQ(s.click(w.screen, 60, w.y, T0), MeterKey::Down) << w.what;
        if (w.doubleClick) {
            EXPECT_FALSE(s.doubleClick(w.screen)) << w.what;
            EXPECT_TRUE(s.enterRequested()) << w.what;
        }
        for (const auto &[screen, after, key] : w.records)
            EXPECT_EQ(s.continueOn(screen, T0 + after), key) << w.what << ": record of screen " << screen;
        if (w.pendingAtEnd) {
            EXPECT_EQ(s.pending(), *w.pendingAtEnd) << w.what;
        }
    }
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
    // With no further record a stale reached target does not block a later click.
    ASSERT_EQ(s.click(20, 60, 16, T0), MeterKey::Down);
    EXPECT_FALSE(s.continueOn(21, T0 + 40));
    EXPECT_EQ(s.click(21, 60, 40, T0 + 500), MeterKey::Down);
    EXPECT_EQ(s.target(), 24);
}
