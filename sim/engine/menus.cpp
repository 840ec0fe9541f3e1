#include "engine/menus.h"

namespace qvsim {

namespace {

const Menu Menus[] = {
    {MenuMemory, 6, false},     // save, load, clear last, clear all, autosave, send to PC
    {AskClearLast, 2, true},
    {AskClearAll, 2, true},
    {MenuAutosave, 10, false},  // 5, 10, 15, 30, 60 s; 5, 10, 15, 30, 60 min
    {MenuSetup, 6, false},      // autorange, zero, calibration, luminance, backlight, more
    {MenuLuminance, 3, false},  // 1°, 3°, 10°
    {MenuMore, 5, false},       // date-time, alarm, auto off, RS 232, service
    {MenuAutoOff, 8, false},    // 1, 2, 5, 10, 15, 30, 45, 60 min
    {MenuRs232, 4, false},      // 1200, 2400, 4800, 9600 bit/s
    {MenuMode, 6, false},       // single, continuous, relative, integration, integration clear, statistics
    {AskIntegrationClear, 2, true},
    {MenuStatistics, 3, false}, // add, clear all, auto add
    {AskStatisticsClear, 2, true},
};

} // namespace

const Menu *allMenus(int &count)
{
    count = int(sizeof Menus / sizeof Menus[0]);
    return Menus;
}

const Menu *menuOf(uint16_t screen)
{
    if (isDialog(screen))
        return nullptr;
    const uint16_t number = uint16_t(screen - screen % 10);
    for (const Menu &m : Menus)
        if (m.number == number && screen % 10 < m.items)
            return &m;
    return nullptr;
}

uint16_t itemUp(uint16_t screen)
{
    const Menu *m = menuOf(screen);
    if (!m)
        return screen;
    const uint8_t d = itemOf(screen);
    if (d > 0)
        return uint16_t(screen - 1);
    return m->question ? screen : uint16_t(m->number + m->items - 1);
}

uint16_t itemDown(uint16_t screen)
{
    const Menu *m = menuOf(screen);
    if (!m)
        return screen;
    const uint8_t d = itemOf(screen);
    if (d + 1 < m->items)
        return uint16_t(screen + 1);
    return m->question ? screen : m->number;
}

uint16_t parentScreen(uint16_t screen)
{
    switch (screen) {
    case ScrTime: return 250;            // leaving the time leaves the whole date-time setting
    case ScrAlarmMessage: return 251;
    case ScrRecordView: return ScrLoad;  // back to choosing a cell
    default: break;
    }
    if (screen < 100)
        return ScrMeasure;  // the top-level menus and their items
    return uint16_t(screen / 10);
}

bool isDialog(uint16_t screen) { return screen >= 60000; }

} // namespace qvsim
