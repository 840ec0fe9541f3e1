// Menus, edit fields, dialogs and the service screen drawn from the screen
// number and the text record; the backlight recolouring.
#include "LcdTestSupport.h"

using namespace qv;
using lcdtest::showsBitmap;
using lcdtest::showsCell;

namespace {

using lcdtest::Without;

// True when the LCD rectangle shows the resource's pixels inverted.
::testing::AssertionResult showsInverted(const LcdSurface &lcd, const QString &name, int ox, int oy, QRect r)
{
    const QImage img = res::image(name);
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const bool ink = qGray(img.pixel(x - ox, y - oy)) < 128;
            if (lcd.isInk(x, y) == ink)
                return ::testing::AssertionFailure() << "not inverted at (" << x << ", " << y << ")";
        }
    return ::testing::AssertionSuccess();
}

class MenuScreens : public ::testing::Test {
protected:
    void show(LcdScreen &s, int screen)
    {
        s.surface().setBrush(LcdColourWhite);
        s.rec.info.MenuCode = uint16_t(screen);
        s.drawScreen();
    }
    LcdScreen screen{1, 0};
};

TEST_F(MenuScreens, PathDrawsEveryLevelWithItsHighlight)
{
    // 2531: menu 20 item 5, menu 250 item 3, menu 2530 item 1.
    show(screen, 2531);
    EXPECT_TRUE(showsCell(screen.surface(), "QVMENU2530_EN", QRect(0, 0, 19, 64), 21, 0));
    EXPECT_TRUE(showsInverted(screen.surface(), "QVMENU2530_EN", 21, 0, QRect(40, 32, 82, 8)));
    EXPECT_TRUE(showsCell(screen.surface(), "QVMENU2530_EN", QRect(19, 24, 82, 8), 40, 24));
    EXPECT_TRUE(showsCell(screen.surface(), "QVMENU20_EN", QRect(0, 0, 21, 64), 0, 0));

    // Without the deepest menu its parent stays visible with item 3 lit.
    Without no2530({"QVMENU2530_EN"});
    LcdScreen s2(1, 0, no2530);
    show(s2, 2531);
    EXPECT_TRUE(showsInverted(s2.surface(), "QVMENU250_EN", 21, 0, QRect(40, 40, 82, 8)));
    EXPECT_TRUE(showsCell(s2.surface(), "QVMENU250_EN", QRect(19, 32, 82, 8), 40, 32));

    Without no250({"QVMENU2530_EN", "QVMENU250_EN"});
    LcdScreen s3(1, 0, no250);
    show(s3, 2531);
    EXPECT_TRUE(showsInverted(s3.surface(), "QVMENU20_EN", 0, 0, QRect(40, 48, 82, 8)));
}

TEST_F(MenuScreens, HighlightRectanglesOfTheColumnMenus)
{
    show(screen, 147);    // menu 140, item 7: second column, third row
    EXPECT_TRUE(showsInverted(screen.surface(), "QVMENU140_EN", 21, 0, QRect(93, 35, 28, 8)));
    show(screen, 2526);   // menu 2520, item 6: second column, third row
    EXPECT_TRUE(showsInverted(screen.surface(), "QVMENU2520_EN", 21, 0, QRect(93, 40, 28, 8)));
    show(screen, 121);    // yes/no: "NO"
    EXPECT_TRUE(showsInverted(screen.surface(), "QVMENUYESNO_EN", 72, 24, QRect(83, 48, 30, 8)));
}

TEST_F(MenuScreens, CheckMarksFromTheSettings)
{
    screen.rec.info.AutoRange = true;
    screen.rec.info.BacklightOn = true;
    show(screen, 20);
    EXPECT_TRUE(showsBitmap(screen.surface(), "QVMENUCHECK", 28, 8));
    EXPECT_TRUE(showsBitmap(screen.surface(), "QVMENUCHECK", 28, 40));
    EXPECT_TRUE(showsCell(screen.surface(), "QVMENU20_EN", QRect(28, 32, 10, 8), 28, 32));   // luminance off

    screen.unit.accessory = 2;
    show(screen, 231);
    EXPECT_TRUE(showsBitmap(screen.surface(), "QVMENUCHECK", 28, 42));
    screen.rec.info.DoseMode = true;
    show(screen, 33);
    EXPECT_TRUE(showsBitmap(screen.surface(), "QVMENUCHECK", 28, 32));
}

TEST_F(MenuScreens, MemoryCellSelectionBoxes)
{
    screen.rec.info.MemoCells = 5;
    show(screen, 110);
    EXPECT_TRUE(showsBitmap(screen.surface(), "QVMAXMEMOCELL512", 101, 16));
    struct Case { const char *text; const char *box; bool selected; };
    const Case cases[] = {{"0", "QVINFOOUTCELL_EN", false}, {"7", "QVINFOEMPTYCELL_EN", false},
                          {"513", "QVINFOOUTCELL_EN", false}, {"3", nullptr, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        screen.hideCursor();
        show(screen, 110);
        screen.rec.text.Text = c.text;
        screen.textReceived();
        EXPECT_EQ(screen.memoryCellSelected, c.selected);
        if (c.box)
            EXPECT_TRUE(showsBitmap(screen.surface(), c.box, 2, 48));
        else
            EXPECT_TRUE(showsCell(screen.surface(), "QVMENU110_EN", QRect(2, 48, 64, 16), 2, 48));
    }
    // While the cursor is shown the menu is not drawn again: the box stays.
    screen.rec.text.Text = "0";
    screen.textReceived();
    show(screen, 110);
    EXPECT_TRUE(showsBitmap(screen.surface(), "QVINFOOUTCELL_EN", 2, 48));
    // With the external memory 511 cells fit: 512 is out of range.
    screen.rec.info.ExtMemory = true;
    screen.rec.text.Text = "512";
    screen.textReceived();
    EXPECT_TRUE(showsBitmap(screen.surface(), "QVINFOOUTCELL_EN", 2, 48));
    EXPECT_TRUE(showsBitmap(screen.surface(), "QVMAXMEMOCELL511", 101, 16));
}

TEST_F(MenuScreens, EditFieldsWithTheirCursorAndUnit)
{
    show(screen, 2500);
    screen.rec.text.Text = "14.03.24";
    screen.rec.text.Cursor = 3;
    screen.textReceived();
    EXPECT_TRUE(showsCell(screen.surface(), "QVDIGITSLARGE", QRect(0, 0, 10, 16), 63, 32));
    EXPECT_TRUE(screen.cursorShown());
    screen.canvas().paintCursor(true);
    EXPECT_TRUE(showsCell(screen.surface(), "QVDIGITSLARGE", QRect(130, 0, 10, 16), 63, 32));
    screen.canvas().paintCursor(false);
    EXPECT_TRUE(showsCell(screen.surface(), "QVDIGITSLARGE", QRect(0, 0, 10, 16), 63, 32));

    // Text font on screen 100; the underscore cell of the text font.
    show(screen, 100);
    screen.rec.text.Text = "AB";
    screen.rec.text.Cursor = 1;
    screen.textReceived();
    EXPECT_TRUE(showsCell(screen.surface(), "QVANSICHAR", QRect(6 * 15, 0, 6, 8), 31, 40));
    screen.canvas().paintCursor(true);
    EXPECT_TRUE(showsCell(screen.surface(), "QVANSICHAR", QRect(348, 0, 6, 8), 31, 40));
    // Drawing the measurement screen hides it.
    screen.rec.info.MenuCode = 0;
    screen.drawScreen();
    EXPECT_FALSE(screen.cursorShown());

    // The calibration entry draws its unit after the digits.
    screen.unit.kind = ukIrradiance;
    screen.unit.row = 0;
    show(screen, 220);
    screen.rec.text.Text = "1.500";
    screen.rec.text.Byte45 = 0xD1;   // (13 - 13 + 1) * 3: k
    screen.textReceived();
    EXPECT_TRUE(showsCell(screen.surface(), "QVUNITLARGEIRRADIANCE", QRect(32 * 6, 0, 32, 16), 83, 32));
}

TEST_F(MenuScreens, Dialogs)
{
    show(screen, 20);
    const QImage before = screen.surface().image();
    show(screen, 60060);   // no such dialog: nothing changes
    EXPECT_EQ(screen.surface().image(), before);

    show(screen, 61020);
    EXPECT_TRUE(showsBitmap(screen.surface(), "QVERROROUTRANGE_EN", 61, 0));

    // 60030 is laid over the picture by AND: ink below stays.
    show(screen, 20);
    LcdSurface under = screen.surface();
    show(screen, 60030);
    const QImage alarm = res::image("QVDIALOGONALARM");
    for (int y = 8; y < 48; ++y)
        for (int x = 22; x < 106; ++x) {
            const bool ink = qGray(alarm.pixel(x - 22, y - 8)) < 128 || under.isInk(x, y);
            ASSERT_EQ(screen.surface().isInk(x, y), ink) << x << "," << y;
        }

    // 60090 on the welcome screen.
    show(screen, 60090);
    EXPECT_TRUE(showsCell(screen.surface(), "QVWELCOMEQV700_EN", QRect(0, 0, 22, 64), 0, 0));
    EXPECT_TRUE(showsBitmap(screen.surface(), "QVPROBEERROR_EN", 22, 16));
}

TEST_F(MenuScreens, CalibrationDialogTakesBothFactorsWhateverTheLengthSays)
{
    // The new and the old factor at their places in the text record.
    const auto drawn = [](const char *factors, uint8_t length) {
        LcdScreen s(1, 0);
        s.surface().setBrush(LcdColourWhite);
        qvtest::Frame f(6);
        f.menu(60040).text(26, factors).byte(42, length).byte(43, 'k');
        lcdtest::store(s, f);
        decodeText(FrameView(f.ptr()), s.rec.text);
        s.drawScreen();
        s.textReceived();
        return s.surface().image();
    };
    const QImage full = drawn(" 6543210 7654321", 16);
    EXPECT_FALSE(drawn(" 6543210        ", 16) == full) << "the old factor shows";
    for (uint8_t length : {0, 8, 15})
        EXPECT_TRUE(drawn(" 6543210 7654321", length) == full) << int(length);
}

TEST_F(MenuScreens, ServiceScreenLocksKeysAndTakesTheBacklight)
{
    screen.surface().setBrush(LcdColourGreen);
    screen.rec.info.MenuCode = 25400;
    screen.drawScreen();
    EXPECT_TRUE(screen.keysLocked);
    EXPECT_EQ(screen.surface().pixel(64, 10), LcdColourGreen);
    EXPECT_EQ(screen.surface().pixel(2, 2), qRgb(0xe0, 0, 0));
    int red = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x)
            red += screen.surface().pixel(x, y) == qRgb(0xe0, 0, 0);
    EXPECT_GT(red, 500);
    screen.rec.info.MenuCode = 0;
    screen.drawScreen();
    EXPECT_FALSE(screen.keysLocked);
}

TEST_F(MenuScreens, PolishPictures)
{
    LcdScreen pl(0, 1);
    show(pl, 1);
    EXPECT_TRUE(showsBitmap(pl.surface(), "QVWELCOMEQV700_PL_JUX", 0, 0));
    pl.rec.info.LuxProbe = true;
    show(pl, 1);
    EXPECT_TRUE(showsBitmap(pl.surface(), "QVWELCOMEK700_PL_JUX", 0, 0));
    show(pl, 30);
    EXPECT_TRUE(showsCell(pl.surface(), "QVMENU30_PL", QRect(0, 0, 40, 64), 0, 0));
}

} // namespace
