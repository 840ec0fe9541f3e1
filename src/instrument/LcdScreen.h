// The picture of the meter's LCD, rebuilt from the records the meter sends:
// the measurement screen with its icons, range field, value, units, bar graph,
// clock and run marks; the memory preview and record views; the transfer
// progress; the welcome screen; menus with highlight and check marks; edit
// fields; dialogs and error boxes; the service screen. It keeps the records
// and the state that decides what is drawn; it has no window.
#pragma once

#include "instrument/LcdCanvas.h"
#include "instrument/LcdResources.h"
#include "instrument/LcdSurface.h"
#include "instrument/UnitState.h"
#include "protocol/Records.h"

#include <QByteArray>

#include <cstdint>

namespace qv {

// What the meter's text editor accepts on the current screen.
struct EntryPermissions {
    bool active = false;
    bool digits = false;
    bool decimal = false;   // digits, "." and ","
    bool any = false;       // any character of the text font

    static EntryPermissions forScreen(int screen);
};

// The records as last received (each zero-filled until it arrives).
struct ScreenRecords {
    TDataInfoQV info{};
    TInfoMeterQV ident{};
    bool identReceived = false;
    QByteArray frame;        // the last frame
    TDataMeasQV meas{};
    TDataTextQV text{};

    uint8_t frameType() const { return frame.size() > 2 ? uint8_t(frame[2]) : 0xFF; }
    int screen() const { return info.MenuCode; }
};

class LcdScreen {
public:
    LcdScreen(uint8_t language, uint8_t edition, const LcdResources &resources = LcdResources::builtIn());

    LcdSurface &surface() { return m_surface; }
    const LcdSurface &surface() const { return m_surface; }
    LcdCanvas &canvas() { return m_canvas; }
    uint8_t language() const { return m_language; }
    uint8_t edition() const { return m_edition; }

    ScreenRecords rec;
    UnitState unit;
    EntryPermissions entry;
    bool runInProgress = false;
    bool keysLocked = false;
    bool memoryCellSelected = false;
    int previousScreen = -1;      // -1: forgotten, the next screen is drawn in full
    int memorySizeFlag = -1;      // -1: none remembered yet
    TDateTime clockBase = 0;      // the meter's clock when the last info record arrived

    // --- reactions to records ------------------------------------------------
    // An info record was stored in rec.info: permissions, unit state, screen.
    void infoReceived();
    // A measurement record was stored in rec.meas; true when the measurement
    // is one the instrument passes on (complete, no range change, shown).
    bool measurementReceived();
    // A text record was stored in rec.text: the edit field or dialog text.
    void textReceived();
    // The memory transfer counter.
    void drawProgress(int total, int current, int perMille);
    // The meter switched on or off: the picture is cleared and the next screen
    // is drawn in full.
    void meterSwitched();
    // Shows the backlight state reported by the meter (recolours when it
    // changed, or when nothing was shown yet); -1 returns to the off colour.
    void showBacklight(int state);
    int shownBacklight() const { return m_shownBacklight; }
    void forgetBacklight() { m_shownBacklight = -2; }

    // --- whole screens and parts -----------------------------------------------
    void drawScreen();                    // the screen named by rec.info
    void drawMeasurementScreen();
    void drawWelcome();
    void drawValueArea(int y = -1);
    void drawRunMarks();
    void drawClock(TDateTime t) { m_canvas.drawTime(t); }
    void hideCursor() { m_canvas.cursor().visible = false; }
    bool cursorShown() { return m_canvas.cursor().visible; }

    // The plain measurement screens on which the clock keeps running.
    static bool isClockScreen(int screen);

private:
    // measurement screen parts (MeasurementScreen.cpp)
    void drawBackground(const TDataInfoQV &info);
    void drawStatusIcons(const TDataInfoQV &info, int x);
    void drawRangeField();
    void drawValue(int y);
    void drawBarGraph();
    // memory views (MemoryScreens.cpp)
    bool decodeCell(TDataInfoQV &info) const;
    void drawCellPreview();
    void drawRecordView();
    // menus and dialogs (MenuScreens.cpp)
    void drawMenuPath(int screen);
    void highlight(int menu, int item);
    void drawChecks(int menu);
    void drawDialog(int screen);
    void drawServiceScreen();
    void drawCellSelection();

    uint8_t m_language;
    uint8_t m_edition;
    LcdSurface m_surface;
    LcdCanvas m_canvas;
    int m_shownBacklight = -2;   // -2: nothing shown yet
};

} // namespace qv
