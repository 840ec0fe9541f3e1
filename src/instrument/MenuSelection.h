// Selecting menu items with the mouse on the LCD picture. A click on a menu
// line walks the meter's highlight there with UP or DOWN, one key per status
// record the meter answers with, and a click on the highlighted line (or a
// double click) presses ENTER. A click on the soft-key labels at the left
// edge presses MODE, SET or MEMO. Pure logic: the window feeds it clicks and
// screen numbers and presses the keys it returns.
#pragma once

#include "instrument/MeterCore.h"

#include <cstdint>
#include <optional>

namespace qv {

class MenuSelection {
public:
    // How long a reached target stays pending for a double click to confirm it.
    static constexpr uint32_t HoldMs = 100;

    // A left click at LCD pixel (x, y) (fractions of a pixel allowed) on
    // `screen`, at tick `now`. The key to press, if any. Clicks while a walk
    // is under way are ignored.
    std::optional<MeterKey> click(int screen, double x, double y, uint32_t now);
    // A double click: ENTER now when the target is reached, else once it is.
    std::optional<MeterKey> doubleClick(int screen);
    // The meter reported `screen` (each info record): the next key of a walk.
    std::optional<MeterKey> continueOn(int screen, uint32_t now);
    void cancel() { m_target = -1; m_enterRequested = false; }

    bool pending() const { return m_target >= 0; }
    int target() const { return m_target; }
    bool enterRequested() const { return m_enterRequested; }

    // The menu a screen's item belongs to, and the item.
    static int parentOf(int screen) { return screen / 10 * 10; }
    static int itemOf(int screen) { return screen % 10; }

private:
    int m_target = -1;
    bool m_enterRequested = false;
    uint32_t m_pressTick = 0;
    int m_lastScreen = -1;
};

} // namespace qv
