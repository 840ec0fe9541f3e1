// The meter's 128 x 64 dot LCD as an image of 264 x 136: LCD pixel (x, y) is
// the 2 x 2 block at image pixel (4 + 2x, 4 + 2y); the 4-pixel margin is
// background. Copies, AND overlays, inversions and recolouring are exact pixel
// operations, so that tests can read the picture back pixel by pixel.
#pragma once

#include <QImage>
#include <QRect>

namespace qv {

// The backlight colours: off (or meter off), state 0 and state 1.
constexpr QRgb LcdColourOff = 0xFFF0F0F0;
constexpr QRgb LcdColourWhite = 0xFFFFFFFF;
constexpr QRgb LcdColourGreen = 0xFF40FFC0;
constexpr QRgb LcdInk = 0xFF000000;

// The brush colour of a backlight index (-1 off, 0, 1).
QRgb backlightColour(int index);

class LcdSurface {
public:
    static constexpr int Width = 128;
    static constexpr int Height = 64;
    static constexpr int ImageWidth = 264;
    static constexpr int ImageHeight = 136;
    static constexpr int Margin = 4;

    enum class Mode { Copy, And };

    LcdSurface();

    const QImage &image() const { return m_image; }
    QRgb brush() const { return m_brush; }
    void setBrush(QRgb colour) { m_brush = colour; }

    // Fills the whole picture (margin included) with the brush colour.
    void clear();
    // Fills the LCD rectangle [x1, x2) x [y1, y2) with `colour` (the brush
    // colour when none is given).
    void fill(int x1, int y1, int x2, int y2);
    void fill(int x1, int y1, int x2, int y2, QRgb colour);
    // The same in image pixels (the thin range bar is drawn there).
    void fillImageRect(const QRect &r, QRgb colour);
    // Copies the rectangle `from` of `src` to LCD position (x, y), each source
    // pixel becoming a 2 x 2 block. In a two-colour picture white takes the
    // brush colour and black stays black; a colour picture is copied as it is.
    // Mode::And combines the copy with what is there by a bitwise AND.
    void copy(const QImage &src, const QRect &from, int x, int y, Mode mode = Mode::Copy);
    void copy(const QImage &src, int x, int y, Mode mode = Mode::Copy);
    // Inverts every colour in the LCD rectangle [x1, x2) x [y1, y2).
    void invert(int x1, int y1, int x2, int y2);
    // Replaces one colour by another throughout the picture.
    void recolour(QRgb from, QRgb to);

    // The colour of LCD pixel (x, y) (its block's top-left image pixel).
    QRgb pixel(int x, int y) const;
    bool isInk(int x, int y) const { return pixel(x, y) == LcdInk; }

    // True when every source pixel is black or white (such pictures follow
    // the backlight colour).
    static bool isTwoColour(const QImage &img);

private:
    QImage m_image;
    QRgb m_brush = LcdColourOff;
};

} // namespace qv
