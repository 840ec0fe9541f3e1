#include "instrument/MenuSelection.h"

#include <algorithm>
#include <iterator>

namespace qv {

namespace {

struct ClickArea {
    int menu;
    double x1, x2, y1, y2;   // LCD pixels, end exclusive
};

// The lines of each menu that a click selects.
constexpr ClickArea kAreas[] = {
    {10, 40, 122, 8, 56},    {20, 40, 122, 8, 56},    {30, 40, 122, 8, 56},
    {120, 83, 113, 40, 56},  {130, 83, 113, 40, 56},  {340, 83, 113, 40, 56},
    {3510, 83, 113, 40, 56}, {140, 65, 121, 19, 59},  {230, 40, 122, 24, 48},
    {350, 40, 122, 24, 48},  {250, 40, 122, 16, 56},  {2520, 65, 121, 24, 56},
    {2530, 40, 122, 24, 56},
};

// Menus that show the soft-key labels of MODE, SET and MEMO at the left edge.
constexpr int kSoftKeyMenus[] = {10, 20, 30, 120, 130, 140, 150, 230, 250, 340, 350, 2520, 2530, 3510};

const ClickArea *areaOf(int menu)
{
    const auto it = std::find_if(std::begin(kAreas), std::end(kAreas),
                                 [menu](const ClickArea &a) { return a.menu == menu; });
    return it == std::end(kAreas) ? nullptr : it;
}

bool hasSoftKeys(int menu)
{
    return std::find(std::begin(kSoftKeyMenus), std::end(kSoftKeyMenus), menu) != std::end(kSoftKeyMenus);
}

// Below 10 a screen is no menu (measurement, welcome).
bool isMenu(int screen) { return screen >= 10 && screen < 60000; }

} // namespace

std::optional<MeterKey> MenuSelection::click(int screen, double x, double y, uint32_t now)
{
    // A target reached long ago no longer waits for a double click.
    if (pending() && m_target == m_lastScreen && now - m_pressTick > HoldMs)
        cancel();
    if (pending() || !isMenu(screen))
        return std::nullopt;
    const int menu = parentOf(screen);
    if (const ClickArea *a = areaOf(menu); a && x >= a->x1 && x < a->x2 && y >= a->y1 && y < a->y2) {
        int row = int((y - a->y1) / 8);
        if (menu == 140 && x >= 93)
            row += 5;
        else if (menu == 2520 && x >= 93)
            row += 4;
        m_target = menu + row;
        m_enterRequested = false;
        m_pressTick = now;
        m_lastScreen = screen;
        if (row == itemOf(screen)) {
            m_target = -1;
            return MeterKey::Enter;
        }
        return row < itemOf(screen) ? MeterKey::Up : MeterKey::Down;
    }
    if (x < 7.5 && hasSoftKeys(menu)) {
        if (y < 19.5)
            return MeterKey::Mode;
        if (y >= 22 && y < 41.5)
            return MeterKey::Set;
        if (y >= 44 && y < 63.5)
            return MeterKey::Memo;
    }
    return std::nullopt;
}

std::optional<MeterKey> MenuSelection::doubleClick(int screen)
{
    if (!pending())
        return std::nullopt;
    if (m_target == screen) {
        cancel();
        return MeterKey::Enter;
    }
    m_enterRequested = true;
    return std::nullopt;
}

std::optional<MeterKey> MenuSelection::continueOn(int screen, uint32_t now)
{
    if (!pending())
        return std::nullopt;
    m_lastScreen = screen;
    const bool held = now - m_pressTick <= HoldMs;
    if (parentOf(screen) != parentOf(m_target)) {
        if (!held)
            cancel();
        return std::nullopt;
    }
    if (itemOf(screen) != itemOf(m_target))
        return itemOf(screen) > itemOf(m_target) ? MeterKey::Up : MeterKey::Down;
    std::optional<MeterKey> key;
    if (m_enterRequested) {
        m_enterRequested = false;
        key = MeterKey::Enter;
    }
    if (!held)
        cancel();
    return key;
}

} // namespace qv
