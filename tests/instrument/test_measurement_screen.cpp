// The measurement screen drawn from records: values and units of every unit
// kind, the range field, status icons, over-range mark, bar graph, run marks.
#include "LcdTestSupport.h"

using namespace qv;
using lcdtest::measFrame;
using lcdtest::showsBitmap;
using lcdtest::showsCell;
using qvtest::Frame;

namespace {

using MeasurementScreen = lcdtest::ScreenTest;

struct UnitCase {
    const char *what;
    uint16_t status;
    int unitRow;
    const char *table;      // the unit table expected at (93, y)
    int firstColumnStep;    // prefix step of the table's first column
    int y;                  // value line
    void (*setup)(Frame &);
};

void none(Frame &) {}
void relative(Frame &f) { f.single(33, 200.0f).single(37, 50.0f); }
void dose(Frame &f) { f.u32(32, 3725).single(36, 2500.0f); }

const UnitCase UnitCases[] = {
    {"irradiance, lx", 0x0002, 0, "QVUNITLARGEIRRADIANCE", -5, 16, none},
    {"irradiance, W/m2", 0x0002, 1, "QVUNITLARGEIRRADIANCE", -5, 16, none},
    {"irradiance, A", 0x0002, 2, "QVUNITLARGEIRRADIANCE", -5, 16, none},
    {"irradiance, E", 0x0002, 3, "QVUNITLARGEIRRADIANCE", -5, 16, none},
    {"luminance, cd/m2", 0x0082, 0, "QVUNITLARGELUMINANCE", -5, 16, none},
    {"luminance, W/(m2 sr)", 0x0082, 1, "QVUNITLARGELUMINANCE", -5, 16, none},
    {"statistics", 0x0022, 1, "QVUNITLARGEIRRADIANCE", -5, 8, none},
    {"luminance statistics", 0x00A2, 0, "QVUNITLARGELUMINANCE", -5, 8, none},
    {"relative", 0x0006, 0, "QVUNITLARGEPERCENT", -3, 16, relative},
    {"luminance relative", 0x0086, 0, "QVUNITLARGEPERCENT", -3, 16, relative},
    {"exposure", 0x000A, 1, "QVUNITLARGEEXPOSURE", -5, 8, dose},
    {"luminance exposure", 0x008A, 1, "QVUNITLARGELUMEXPOSURE", -5, 8, dose},
};

TEST_F(MeasurementScreen, ValueDigitsAndUnitInEveryKind)
{
    for (const UnitCase &c : UnitCases) {
        SCOPED_TRACE(c.what);
        screen.previousScreen = -1;
        Frame f = measFrame(1234.5f, c.status, c.unitRow);
        c.setup(f);
        receive(f);
        const TDataMeasQV &m = screen.rec.meas;
        const QString text = (m.RelativeMode ? m.RelativeResultText : m.DoseMode ? m.DoseText : m.ValueText)
                                 .rightJustified(7, ' ');
        for (int i = 0; i < 5; ++i) {
            const int cell = text[i] == '.' ? 11 : text[i] == ' ' ? 10 : text[i].digitValue();
            EXPECT_TRUE(showsCell(lcd(), "QVDIGITSLARGE", QRect(10 * cell, 0, 10, 16), 43 + 10 * i, c.y)) << i;
        }
        const int e = *prefixExponent(text[6]) / 3;
        const bool percent = QString(c.table) == "QVUNITLARGEPERCENT";
        EXPECT_TRUE(showsCell(lcd(), c.table,
                              QRect(32 * (e - c.firstColumnStep), percent ? 0 : 16 * c.unitRow, 32, 16), 93, c.y))
            << qPrintable(text);
    }
}

TEST_F(MeasurementScreen, KnownTextsAndSecondaryValues)
{
    receive(measFrame(1234.5f, 0x0002, 1));
    EXPECT_EQ(screen.rec.meas.ValueText, "1.234 k");
    // k: prefix step 1, the W/m² row
    EXPECT_TRUE(showsCell(lcd(), "QVUNITLARGEIRRADIANCE", QRect(32 * 6, 16, 32, 16), 93, 16));

    screen.previousScreen = -1;
    Frame f = measFrame(12.345f, 0x000A, 0);
    dose(f);
    receive(f);
    EXPECT_EQ(screen.rec.meas.DoseTimeText, "01:02:05");
    LcdSurface expect;
    expect.setBrush(LcdColourWhite);
    expect.clear();
    LcdCanvas(expect, LcdResources::builtIn(), 1).drawClockText("01:02:05", 0, 0);
    for (int x = 0; x < 34; ++x)
        for (int y = 0; y < 8; ++y)
            ASSERT_EQ(lcd().pixel(94 + x, y), expect.pixel(x, y)) << x << "," << y;
    // The irradiance with its small unit at (13, 0): "12.34", a space, the lx cell.
    EXPECT_EQ(screen.rec.meas.ValueText, "12.34  ");
    EXPECT_TRUE(showsCell(lcd(), "QVUNITSMALLIRRADIANCE", QRect(36 * 5, 0, 36, 8), 13 + 4 * 6 + 2 + 3, 0));
}

TEST_F(MeasurementScreen, OverRangeMarkAndUnitEdgeCases)
{
    // The over mark comes with a range-limit frame and goes with the next.
    Frame over = measFrame(5.0f);
    over.byte(31, 6);   // range-limit code 2 with 3 ranges
    receive(over);
    EXPECT_TRUE(screen.rec.meas.OverRange);
    EXPECT_TRUE(showsBitmap(lcd(), "QVSCREENOVER", 4, 16));
    receive(measFrame(5.0f));
    EXPECT_EQ(lcdtest::inkCount(lcd(), 4, 16, 12, 32), 0);

    // No prefix letter at the end: digits and the over mark, no unit.
    receive(measFrame(1.0f));
    screen.surface().fill(93, 16, 128, 32);
    screen.rec.meas.ValueText = "12345.?";
    screen.rec.meas.OverRange = true;
    screen.drawValueArea();
    EXPECT_TRUE(showsBitmap(lcd(), "QVSCREENOVER", 4, 16));
    EXPECT_EQ(lcdtest::inkCount(lcd(), 93, 16, 128, 32), 0);
    EXPECT_TRUE(showsCell(lcd(), "QVDIGITSLARGE", QRect(50, 0, 10, 16), 83, 16));

    // Per cent at exponent 12: the "T" letter alone.
    screen.canvas().drawUnit(93, 16, 0, ukRelative, 12);
    EXPECT_TRUE(showsCell(lcd(), "QVUNITPREFIXLARGE", QRect(16 * 10, 0, 16, 16), 93, 16));
    // Irradiance in the unnamed rows: prefix only.
    screen.canvas().drawUnit(93, 16, 5, ukIrradiance, -3);
    EXPECT_TRUE(showsCell(lcd(), "QVUNITPREFIXLARGE", QRect(16 * 5, 0, 16, 16), 93, 16));
}

TEST_F(MeasurementScreen, RangeFieldCellsAndOutsideTheTables)
{
    struct Case { uint16_t status; int unitRow; int accessory; const char *table; QRect cell; int x; };
    const Case cases[] = {
        {0x0002, 0, 0, "QVRANGEIRRADIANCE", QRect(26 * 5, 0, 26, 16), 0},          // col 2 + 3
        {0x0002, 1, 0, "QVRANGEIRRADIANCE", QRect(26 * 8, 16 * 4, 26, 16), 0},     // col 2 + 6, row 4
        {0x0002, 2, 0, "QVRANGENONAME", QRect(26 * 14, 0, 26, 16), 0},             // 2 + 9 >= 10: unnamed, + 12
        {0x0002, 5, 0, "QVRANGENONAME", QRect(26 * 17, 0, 26, 16), 0},             // unnamed: + 15
        {0x0082, 0, 2, "QVRANGELUMINANCE", QRect(20 * 13, 0, 20, 16), 6},          // 2 + 13 - 2
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.table);
        screen.previousScreen = -1;
        Frame f = measFrame(1.0f, c.status, c.unitRow);
        f.byte(9, uint8_t(0x01 | (c.accessory << 4)));
        receive(f);
        EXPECT_TRUE(showsCell(lcd(), c.table, c.cell, c.x, 48));
        if (c.accessory) {
            EXPECT_TRUE(showsCell(lcd(), "QVTYPLUMACCESSORY", QRect(6 * (c.accessory - 1), 0, 6, 16), 0, 48));
        }
    }
    // Outside the tables (a negative column) only the thin bar is drawn.
    screen.surface().clear();
    Frame f = measFrame(1.0f);
    f.byte(11, 30);
    receive(f);
    EXPECT_EQ(lcdtest::inkCount(lcd(), 0, 48, 26, 49), 26);
    EXPECT_EQ(lcdtest::inkCount(lcd(), 0, 49, 26, 64), 0);
}

TEST_F(MeasurementScreen, NoProbeFrameShowsCrossedRangeField)
{
    Frame f = measFrame(1.0f);
    f.byte(6, 0x01);   // no probe: the value area is not drawn, the field is crossed
    receive(f);
    EXPECT_TRUE(showsBitmap(lcd(), "QVRANGENOPROBE", 0, 48));
    EXPECT_TRUE(showsBitmap(lcd(), "QVERRORNOPROBE_EN", 59, 0));
    // A record view (type 0) draws its value area even so; the field stays.
    screen.rec.frame[6] = 0x01;
    screen.drawValueArea();
    EXPECT_TRUE(showsBitmap(lcd(), "QVRANGENOPROBE", 0, 48));
}

TEST_F(MeasurementScreen, StatusIconsFollowTheInfoRecord)
{
    Frame f = measFrame(1.0f, 0x0001 | 0x0010 | 0x0020 | 0x0040 | 0x2000);  // single, auto, stat, memo, alarm
    f.byte(16, 22);               // battery code 22: level 6
    f.word(14, uint16_t(3 << 12)); // memory word: level 4
    receive(f);
    const TDataInfoQV &i = screen.rec.info;
    ASSERT_EQ(i.BatteryLevel, 6);
    ASSERT_EQ(i.MemoLevel, 4);
    EXPECT_TRUE(showsCell(lcd(), "QVICONMODE", QRect(0, 0, 15, 16), 26, 48));
    EXPECT_TRUE(showsCell(lcd(), "QVICONAUTORANGE", QRect(10, 0, 10, 16), 41, 48));
    EXPECT_TRUE(showsCell(lcd(), "QVICONSTATSAVE", QRect(10, 0, 10, 16), 51, 48));
    EXPECT_TRUE(showsCell(lcd(), "QVICONMEMOSAVE", QRect(8, 0, 8, 16), 61, 48));
    EXPECT_TRUE(showsCell(lcd(), "QVICONMEMO", QRect(40, 0, 10, 16), 69, 48));
    EXPECT_TRUE(showsCell(lcd(), "QVICONBAT", QRect(60, 0, 10, 16), 79, 48));
    EXPECT_TRUE(showsCell(lcd(), "QVICONALARM", QRect(5, 0, 5, 16), 89, 48));

    // continuous + relative: the fourth mode cell; integration alone: "Ext"
    screen.rec.info.SingleMeas = false;
    screen.rec.info.ContinuousMeas = screen.rec.info.RelativeMode = true;
    screen.drawMeasurementScreen();
    EXPECT_TRUE(showsCell(lcd(), "QVICONMODE", QRect(45, 0, 15, 16), 26, 48));
    screen.rec.info.ContinuousMeas = screen.rec.info.RelativeMode = false;
    screen.rec.info.DoseMode = true;
    screen.drawMeasurementScreen();
    EXPECT_TRUE(showsCell(lcd(), "QVICONMODE", QRect(60, 0, 15, 16), 26, 48));
}

TEST_F(MeasurementScreen, BarGraphDuringARun)
{
    screen.runInProgress = true;
    receive(measFrame(50.0f));
    const int bar = screen.rec.meas.BarPosition;
    ASSERT_GT(bar, 10);
    ASSERT_LT(bar, 128);
    EXPECT_TRUE(showsBitmap(lcd(), "QVLOGSCALE", 0, 0));
    EXPECT_EQ(lcdtest::inkCount(lcd(), 0, 2, 128, 4), 2 * bar);
    EXPECT_TRUE(lcd().isInk(bar - 1, 3));
    EXPECT_FALSE(lcd().isInk(bar, 3));

    // A smaller value shortens the bar; no run, no bar drawn.
    receive(measFrame(10.0f));
    EXPECT_LT(lcdtest::inkCount(lcd(), 0, 2, 128, 4), 2 * bar);
    screen.runInProgress = false;
    screen.surface().fill(0, 0, 128, 4);
    receive(measFrame(1.0f));
    EXPECT_EQ(lcdtest::inkCount(lcd(), 0, 0, 128, 4), 0);
}

TEST_F(MeasurementScreen, RunMarks)
{
    // First drawing: no run, the pause mark.
    receive(measFrame(1.0f));
    EXPECT_TRUE(showsBitmap(lcd(), "QVSCREENPAUSE", 12, 16));
    // Running and already on the measurement screen: play.
    screen.runInProgress = true;
    receive(measFrame(1.0f));
    EXPECT_TRUE(showsBitmap(lcd(), "QVSCREENPLAY", 12, 16));
    // A stop frame brings the pause back even while the run is still marked.
    Frame stop = measFrame(1.0f);
    stop.keys('s');
    receive(stop);
    EXPECT_TRUE(showsBitmap(lcd(), "QVSCREENPAUSE", 12, 16));
    // Statistics kinds put the marks one line higher.
    receive(measFrame(1.0f, 0x0022));
    EXPECT_TRUE(showsBitmap(lcd(), "QVSCREENPLAY", 12, 8));
}

TEST_F(MeasurementScreen, BackgroundsAndCurrentSymbols)
{
    receive(measFrame(1.0f, 0x0002, 0));
    // (the run mark covers the background's first columns)
    EXPECT_TRUE(showsCell(lcd(), "QVSCREENIRRADIANCE", QRect(8, 0, 23, 16), 20, 16));
    screen.previousScreen = -1;
    receive(measFrame(1.0f, 0x0006, 2));
    EXPECT_TRUE(showsBitmap(lcd(), "QVSCREENCURRENTSMALL", 0, 0));
    EXPECT_TRUE(showsBitmap(lcd(), "QVSCREENCURRENTRELATIVE", 0, 40));
    screen.previousScreen = -1;
    receive(measFrame(1.0f, 0x0022, 0));   // statistics while the series runs: at (0, 8)
    EXPECT_TRUE(showsCell(lcd(), "QVSCREENSTAT_EN", QRect(20, 0, 20, 16), 20, 8));
    EXPECT_TRUE(showsCell(lcd(), "QVSCREENSTAT_EN", QRect(0, 16, 21, 24), 0, 24));
}

} // namespace
