#include "instrument/LcdScreen.h"

namespace qv {

EntryPermissions EntryPermissions::forScreen(int screen)
{
    EntryPermissions p;
    p.digits = screen == 110 || screen == 2500 || screen == 2510 || screen == 25000;
    p.decimal = screen == 220 || screen == 320;
    p.any = screen == 100 || screen == 1400 || screen == 25100;
    p.active = p.digits || p.decimal || p.any;
    return p;
}

LcdScreen::LcdScreen(uint8_t language, uint8_t edition, const LcdResources &resources)
    : m_language(language), m_edition(edition), m_canvas(m_surface, resources, language)
{
}

bool LcdScreen::isClockScreen(int screen)
{
    return screen == 0 || screen == 60030 || screen == 60040 || screen == 61040 || screen == 61050;
}

void LcdScreen::infoReceived()
{
    entry = EntryPermissions::forScreen(rec.screen());
    unit = UnitState::derive(rec.info, rec.frame);
    drawScreen();
}

void LcdScreen::meterSwitched()
{
    hideCursor();
    m_surface.setBrush(backlightColour(-1));
    m_surface.clear();
    previousScreen = -1;
}

void LcdScreen::showBacklight(int state)
{
    if (state == m_shownBacklight)
        return;
    const QRgb to = backlightColour(state < 0 ? -1 : (state ? 1 : 0));
    m_surface.recolour(m_surface.brush(), to);
    m_surface.setBrush(to);
    m_shownBacklight = state;
}

} // namespace qv
