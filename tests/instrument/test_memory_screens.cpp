// The memory screens: transfer progress, the record view of a stored cell
// (type 0x00) and the preview while a cell number is typed (type 0x05).
#include "LcdTestSupport.h"

using namespace qv;
using lcdtest::showsBitmap;
using lcdtest::showsCell;
using qvtest::Frame;

namespace {

class MemoryScreens : public lcdtest::ScreenTest {
protected:
    // A stored cell seen as a frame of `type`: 12.34 W/m² (unit row 1), single mode.
    Frame cell(uint8_t type)
    {
        Frame f(type);
        f.word(5, 0x0001).byte(7, 10).byte(8, 0x30).byte(9, 1).byte(10, (1 << 5) | 15).byte(11, 41)
            .menu(110).clock().single(26, 12.345f).byte(30, 41).text(48, "LAMP 3          ");
        return f;
    }
};

TEST_F(MemoryScreens, ProgressCounter)
{
    screen.drawProgress(511, 37, 5);
    // "0.5" right-aligned to end at x = 93, then the per-cent glyph; the
    // current "37" ends at x = 80, the total at 91.
    struct Cell { const char *table; QRect cell; int x, y; };
    const Cell cells[] = {
        {"QVDIGITSLARGE", QRect(0, 0, 10, 16), 63, 32}, {"QVDIGITSLARGE", QRect(110, 0, 10, 16), 73, 32},
        {"QVDIGITSLARGE", QRect(50, 0, 10, 16), 83, 32}, {"QVUNITLARGEPERCENT", QRect(96, 0, 32, 16), 93, 32},
        {"QVDIGITSSMALL", QRect(18, 0, 6, 8), 68, 48}, {"QVDIGITSSMALL", QRect(42, 0, 6, 8), 74, 48},
        {"QVDIGITSSMALL", QRect(30, 0, 6, 8), 91, 48},
    };
    for (const Cell &c : cells)
        EXPECT_TRUE(showsCell(lcd(), c.table, c.cell, c.x, c.y)) << c.x << "," << c.y;
    // 100 per cent: "100.0" fills the field from x = 43
    screen.drawProgress(511, 511, 1000);
    EXPECT_TRUE(showsCell(lcd(), "QVDIGITSLARGE", QRect(10, 0, 10, 16), 43, 32));
}

TEST_F(MemoryScreens, RecordViewOfAStoredCell)
{
    lcdtest::store(screen, cell(0x00));
    screen.rec.info.MenuCode = 110;
    EXPECT_FALSE(screen.measurementReceived());   // not passed on as a measurement
    EXPECT_TRUE(showsBitmap(lcd(), "QVINFOMEMOVIEW_EN", 45, 48));
    EXPECT_TRUE(showsCell(lcd(), "QVICONMODE", QRect(0, 0, 15, 16), 2, 48));
    EXPECT_TRUE(showsCell(lcd(), "QVDIGITSLARGE", QRect(10, 0, 10, 16), 43, 16));
    EXPECT_TRUE(showsCell(lcd(), "QVUNITLARGEIRRADIANCE", QRect(160, 16, 32, 16), 93, 16));
    EXPECT_EQ(screen.unit.row, 1);
}

TEST_F(MemoryScreens, PreviewWhileChoosingACell)
{
    screen.rec.info.MenuCode = 110;
    screen.rec.info.MemoCells = 5;
    screen.drawScreen();
    lcdtest::store(screen, cell(0x05));
    screen.memoryCellSelected = true;
    screen.measurementReceived();
    // the description in the text font at (8, 40): "L" is cell 25
    EXPECT_TRUE(showsCell(lcd(), "QVANSICHAR", QRect(6 * 25, 0, 6, 8), 8, 40));
    // the icon box's right line; its top line is drawn before the icons,
    // whose 16-row cells then cover it
    EXPECT_EQ(lcdtest::inkCount(lcd(), 45, 48, 46, 63), 15);
    EXPECT_TRUE(showsCell(lcd(), "QVICONMODE", QRect(0, 0, 15, 16), 2, 48));
    EXPECT_TRUE(showsCell(lcd(), "QVMEMOPREVIEWDESC", QRect(0, 0, 18, 15), 25, 24));
    EXPECT_TRUE(showsCell(lcd(), "QVMEMOPREVIEWLUM", QRect(0, 0, 28, 8), 46, 48));
    EXPECT_TRUE(showsCell(lcd(), "QVDIGITSLARGE", QRect(10, 0, 10, 16), 43, 24));
    // Not selected: no preview is drawn.
    LcdScreen other(1, 0);
    lcdtest::store(other, cell(0x05));
    other.memoryCellSelected = false;
    const QImage before = other.surface().image();
    other.measurementReceived();
    EXPECT_EQ(other.surface().image(), before);
}

} // namespace
