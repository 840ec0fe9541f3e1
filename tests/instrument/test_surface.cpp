// The LCD surface: the 2 x 2 blocks with their margin, copies that follow the
// brush colour, AND overlays, inversion and recolouring.
#include "LcdTestSupport.h"

#include "instrument/LcdCanvas.h"

using namespace qv;
using lcdtest::whiteLcd;

namespace {

// A two-colour picture from rows of '#' (ink) and '.'.
QImage monoPicture(std::initializer_list<const char *> rows)
{
    QImage img(int(strlen(*rows.begin())), int(rows.size()), QImage::Format_Mono);
    img.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    int y = 0;
    for (const char *row : rows) {
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, row[x] == '#' ? 1 : 0);
        ++y;
    }
    return img;
}

TEST(LcdSurface, PixelIsTwoByTwoBlockInsideMargin)
{
    LcdSurface lcd = whiteLcd();
    lcd.fill(127, 63, 128, 64, LcdInk);
    const QImage &img = lcd.image();
    EXPECT_EQ(img.size(), QSize(264, 136));
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx)
            EXPECT_EQ(img.pixel(4 + 254 + dx, 4 + 126 + dy), LcdInk);
    EXPECT_EQ(img.pixel(4 + 253, 4 + 126), LcdColourWhite);
    EXPECT_EQ(img.pixel(262, 130), LcdColourWhite);   // margin
    EXPECT_EQ(img.pixel(0, 0), LcdColourWhite);
}

TEST(LcdSurface, CopyPaintsWhiteInBrushColourAndClipsAtImage)
{
    const QImage pic = monoPicture({"#.", ".#"});
    LcdSurface lcd;
    lcd.setBrush(LcdColourGreen);
    lcd.clear();
    lcd.copy(pic, 10, 20);
    EXPECT_EQ(lcd.pixel(10, 20), LcdInk);
    EXPECT_EQ(lcd.pixel(11, 20), LcdColourGreen);
    EXPECT_EQ(lcd.pixel(11, 21), LcdInk);
    // Beyond the LCD the copy lands in the margin and stops at the image edge.
    lcd.copy(pic, 129, 65);
    EXPECT_EQ(lcd.image().pixel(4 + 258, 4 + 130), LcdInk);
}

TEST(LcdSurface, AndOverlayInvertAndRecolour)
{
    LcdSurface lcd = whiteLcd();
    lcd.fill(2, 0, 3, 1, LcdInk);
    lcd.copy(monoPicture({"#.."}), 0, 0, LcdSurface::Mode::And);
    EXPECT_TRUE(lcd.isInk(0, 0));
    EXPECT_FALSE(lcd.isInk(1, 0));
    EXPECT_TRUE(lcd.isInk(2, 0));   // a plain copy would have cleared it

    lcd.invert(0, 0, 2, 1);
    EXPECT_EQ(lcd.pixel(0, 0), LcdColourWhite);
    EXPECT_EQ(lcd.pixel(1, 0), LcdInk);
    lcd.recolour(LcdColourWhite, LcdColourGreen);
    EXPECT_EQ(lcd.pixel(0, 0), LcdColourGreen);
    EXPECT_EQ(lcd.pixel(1, 0), LcdInk);
    EXPECT_EQ(lcd.image().pixel(0, 0), LcdColourGreen);   // the margin follows too
}

TEST(LcdCanvas, MissingBitmapLeavesItsAreaAndReportsIt)
{
    LcdSurface lcd = whiteLcd();
    lcd.fill(0, 0, 128, 64, LcdInk);
    const QImage before = lcd.image();
    lcdtest::Without res({"QVMENU10_EN"});
    LcdCanvas canvas(lcd, res, 1);
    EXPECT_FALSE(canvas.drawBitmap("QVMENU10_EN", 0, 0));
    EXPECT_EQ(lcd.image(), before);
    EXPECT_TRUE(canvas.drawBitmap("QVMENU20_EN", 0, 0));
    EXPECT_NE(lcd.image(), before);
}

} // namespace
