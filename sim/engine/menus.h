// The meter's screens and its menu tree. A menu screen's number is its menu's
// number (which ends in 0) plus the highlighted item; a submenu's number is
// the number of the item that opens it followed by 0, so the program can draw
// the whole path of menus from the number alone.
#pragma once

#include <cstdint>

namespace qvsim {

enum Screen : uint16_t {
    ScrMeasure = 0,
    ScrWelcome = 1,

    MenuMemory = 10,          // MEMO
    ScrSave = 100,            // comment of the measurement to save
    ScrLoad = 110,            // number of the cell to view
    ScrRecordView = 1100,     // a stored cell shown whole
    AskClearLast = 120,
    AskClearAll = 130,
    MenuAutosave = 140,       // autosave interval, 10 items
    ScrAutosaveComment = 1400,
    ScrSendToPc = 150,

    MenuSetup = 20,           // SET
    ScrCalibration = 220,
    MenuLuminance = 230,      // the three attachments
    MenuMore = 250,
    ScrDate = 2500,
    ScrTime = 25000,
    ScrAlarmDate = 2510,
    ScrAlarmMessage = 25100,
    MenuAutoOff = 2520,
    MenuRs232 = 2530,
    ScrService = 2540,

    MenuMode = 30,            // MODE
    ScrReference = 320,
    AskIntegrationClear = 340,
    MenuStatistics = 350,
    AskStatisticsClear = 3510,

    DlgCoverProbe = 60000,
    DlgZeroing = 60010,
    DlgAlarm = 60020,
    DlgAlarmOverMeasure = 60030,
    DlgCalibration = 60040,
    DlgMemoryEmpty = 60050,
    DlgNoAccess = 60080,
    DlgProbeInitError = 60090,
    DlgReplaceMemory = 60100,
    ErrIllegalNumber = 61000,
    ErrZeroValue = 61010,
    ErrOutOfRange = 61020,
    ErrMemoryFull = 61030,
    ErrMemoryFullMeasure = 61040,
    ErrProbeComm = 61050,
};

// Yes/no questions have two items: YES (0) and NO (1).
constexpr uint8_t AnswerYes = 0;
constexpr uint8_t AnswerNo = 1;

struct Menu {
    uint16_t number;   // ends in 0
    uint8_t items;
    bool question;     // a yes/no question: UP and DOWN stop at the ends
};

// The menu whose item `screen` highlights, or nullptr.
const Menu *menuOf(uint16_t screen);
inline uint8_t itemOf(uint16_t screen) { return uint8_t(screen % 10); }
// The screen one item up or down: lists wrap around, questions stop.
uint16_t itemUp(uint16_t screen);
uint16_t itemDown(uint16_t screen);
// The screen ESC returns to: the item that opened the menu, the measurement
// screen from a top-level menu.
uint16_t parentScreen(uint16_t screen);
bool isDialog(uint16_t screen);
// Every menu of the tree, for walking it.
const Menu *allMenus(int &count);

} // namespace qvsim
