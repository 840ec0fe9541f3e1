// The menu tree as the program sees it: every answer names the new screen,
// menus are reachable and left the way their numbers say. (Questions and
// messages are in the recorded sessions.)
#include "SimHarness.h"

#include <gtest/gtest.h>

#include <set>

using namespace qvsim;
using simtest::SimMeter;

namespace {

// Every key answers with one frame that carries the status block naming the
// meter's screen.
void expectAnswerNames(SimMeter &m, const std::string &key)
{
    const auto got = m.press(key);
    ASSERT_FALSE(got.empty()) << "no answer to " << key;
    for (const auto &f : got) {
        if (f.type() == 0x01 || f.type() == 0x02 || f.type() == 0x06) {
            EXPECT_EQ(f.screen(), m.screen()) << "after " << key;
        }
    }
}

} // namespace

// Walks the whole tree with ENTER on every item, the way a curious user
// would, and checks that every menu is reached and that ESC from any menu
// screen leads to the item its number names.
TEST(SimMenus, WholeTreeIsReachableAndConsistent)
{
    MeterConfig config;
    config.luminance = true;
    config.cells = 2;
    std::set<uint16_t> reached;
    std::set<uint16_t> explored;
    // Key paths from the measurement screen into each menu still to explore.
    std::vector<std::string> paths = {"D", "L", "T"};
    for (size_t p = 0; p < paths.size(); ++p) {
        SimMeter m(config);
        m.press(paths[p]);
        const Menu *menu = menuOf(m.screen());
        ASSERT_NE(menu, nullptr) << "screen " << m.screen() << " by " << paths[p];
        if (!explored.insert(menu->number).second)
            continue;
        for (uint8_t item = 0; item < menu->items; ++item) {
            SimMeter w(config);
            std::string path = paths[p];
            w.press(path);
            while (itemOf(w.screen()) != item) {
                const std::string step = itemOf(w.screen()) < item ? "J" : "R";
                path += step;
                w.press(step);
            }
            reached.insert(w.screen());
            // The program reads the path of menus from the digits: a menu
            // screen's parent item is the number without its last digit.
            if (w.screen() >= 100) {
                SimMeter back(config);
                back.press(path + "Q");
                EXPECT_EQ(back.screen(), w.screen() / 10) << "ESC from " << w.screen();
            }
            expectAnswerNames(w, "K");
            reached.insert(w.screen());
            const Menu *sub = menuOf(w.screen());
            if (sub && sub->number != menu->number)
                paths.push_back(path + "K");
        }
    }
    for (uint16_t s : {10, 11, 12, 13, 14, 15, 100, 110, 121, 131, 140, 149, 1400, 150, 20, 220, 230, 232,
                       250, 254, 2500, 2510, 2520, 2527, 2530, 2533, 2540, 30, 320, 341, 350, 352, 3511,
                       60000})
        EXPECT_TRUE(reached.count(s)) << "never reached screen " << s;
    for (uint16_t menu : {10, 20, 30, 120, 130, 140, 230, 250, 340, 350, 2520, 2530, 3510})
        EXPECT_TRUE(explored.count(menu)) << "never explored menu " << menu;
}
