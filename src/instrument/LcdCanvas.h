// The drawing primitives of the LCD: named bitmaps and cells of bitmaps, the
// fonts (strips of cells looked up by character), the unit and prefix glyphs,
// the clock, and the blinking edit cursor. Positions are LCD pixels.
#pragma once

#include "instrument/LcdResources.h"
#include "instrument/LcdSurface.h"
#include "instrument/UnitState.h"
#include "protocol/Records.h"

#include <QRect>
#include <QString>

#include <cstdint>

namespace qv {

// The edit cursor: the character cell under it and the font's underscore side
// by side (each `width` wide), and where it is shown.
struct EditCursor {
    QImage cells;
    int x = 0, y = 0, width = 0, height = 0;
    bool visible = false;
};

class LcdCanvas {
public:
    enum class Font { Text, SmallDigits };

    LcdCanvas(LcdSurface &surface, const LcdResources &resources, uint8_t language);

    LcdSurface &surface() { return m_surface; }
    uint8_t language() const { return m_language; }
    // A base name with the language suffix "_PL" or "_EN".
    QString localName(const QString &base) const;

    // Copies a whole bitmap; false (and nothing drawn) when it is missing.
    bool drawBitmap(const QString &name, int x, int y, LcdSurface::Mode mode = LcdSurface::Mode::Copy);
    // Copies one rectangle of a bitmap.
    bool drawCell(const QString &name, const QRect &cell, int x, int y);

    // Text in the text font or the small digits; with a cursor index >= 0 the
    // edit cursor is prepared for that character. Returns the end x.
    int drawText(const QString &text, int x, int y, Font font, int cursorIndex = -1);
    // Large digits, 10 pixels a character.
    int drawLargeText(const QString &text, int x, int y, int cursorIndex = -1);
    int drawClockText(const QString &text, int x, int y);
    // "hh:nn:ss" at (x, y) and "dd.mm.yy" below it (default: the clock corner).
    void drawTime(TDateTime t, int x = 94, int y = 48);
    // Widths of texts in the small digits (digits 6, space and point 2).
    static int smallDigitsWidth(const QString &text);

    // The main value's characters 1 to 5 in the value digits (x = 43 ... 83).
    void drawValueDigits(const QString &text, int y);
    // A large unit glyph (combined prefix and unit when the table has one).
    void drawUnit(int x, int y, int row, int kind, int exponent);
    // A secondary value with its prefix, or prefix and unit.
    void drawSmallValue(const QString &text, int x, int y, bool withUnit, const UnitState &unit);

    EditCursor &cursor() { return m_cursor; }
    // Repaints the cursor cell from the character (false) or underscore half.
    void paintCursor(bool underscore);

private:
    struct Cell {
        QString bitmap;
        QRect rect;
    };
    Cell textCell(QChar c, Font font) const;
    Cell largeCell(QChar c) const;
    void prepareCursor(const Cell &ch, const Cell &underscore, int x, int y);

    LcdSurface &m_surface;
    const LcdResources &m_resources;
    uint8_t m_language;
    EditCursor m_cursor;
};

} // namespace qv
