#include "instrument/LcdSurface.h"


namespace qv {

QRgb backlightColour(int index)
{
    switch (index) {
    case 0: return LcdColourWhite;
    case 1: return LcdColourGreen;
    default: return LcdColourOff;
    }
}

LcdSurface::LcdSurface() : m_image(ImageWidth, ImageHeight, QImage::Format_RGB32)
{
    clear();
}

void LcdSurface::clear()
{
    m_image.fill(m_brush);
}

void LcdSurface::fill(int x1, int y1, int x2, int y2)
{
    fill(x1, y1, x2, y2, m_brush);
}

void LcdSurface::fill(int x1, int y1, int x2, int y2, QRgb colour)
{
    if (x2 > x1 && y2 > y1)
        fillImageRect(QRect(Margin + 2 * x1, Margin + 2 * y1, 2 * (x2 - x1), 2 * (y2 - y1)), colour);
}

void LcdSurface::fillImageRect(const QRect &r, QRgb colour)
{
    const QRect c = r.intersected(m_image.rect());
    for (int y = c.top(); y <= c.bottom(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(m_image.scanLine(y));
        for (int x = c.left(); x <= c.right(); ++x)
            line[x] = colour;
    }
}

bool LcdSurface::isTwoColour(const QImage &img)
{
    if (img.colorCount() > 0) {
        for (QRgb c : img.colorTable())
            if ((c & 0xFFFFFF) != 0 && (c & 0xFFFFFF) != 0xFFFFFF)
                return false;
        return true;
    }
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y) & 0xFFFFFF;
            if (c != 0 && c != 0xFFFFFF)
                return false;
        }
    return true;
}

void LcdSurface::copy(const QImage &src, int x, int y, Mode mode)
{
    copy(src, src.rect(), x, y, mode);
}

void LcdSurface::copy(const QImage &src, const QRect &from, int x, int y, Mode mode)
{
    if (src.isNull())
        return;
    const QRect part = from.intersected(src.rect());
    const bool twoColour = isTwoColour(src);
    for (int sy = part.top(); sy <= part.bottom(); ++sy) {
        const int iy = Margin + 2 * (y + sy - from.top());
        for (int sx = part.left(); sx <= part.right(); ++sx) {
            const int ix = Margin + 2 * (x + sx - from.left());
            QRgb c = src.pixel(sx, sy) | 0xFF000000;
            if (twoColour)
                c = (c & 0xFFFFFF) == 0xFFFFFF ? m_brush : LcdInk;
            for (int dy = 0; dy < 2; ++dy) {
                if (iy + dy < 0 || iy + dy >= ImageHeight)
                    continue;
                QRgb *line = reinterpret_cast<QRgb *>(m_image.scanLine(iy + dy));
                for (int dx = 0; dx < 2; ++dx) {
                    if (ix + dx < 0 || ix + dx >= ImageWidth)
                        continue;
                    line[ix + dx] = mode == Mode::And ? (line[ix + dx] & c) | 0xFF000000 : c;
                }
            }
        }
    }
}

void LcdSurface::invert(int x1, int y1, int x2, int y2)
{
    const QRect r = QRect(Margin + 2 * x1, Margin + 2 * y1, 2 * (x2 - x1), 2 * (y2 - y1))
                        .intersected(m_image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(m_image.scanLine(y));
        for (int x = r.left(); x <= r.right(); ++x)
            line[x] = (~line[x] & 0xFFFFFF) | 0xFF000000;
    }
}

void LcdSurface::recolour(QRgb from, QRgb to)
{
    for (int y = 0; y < ImageHeight; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(m_image.scanLine(y));
        for (int x = 0; x < ImageWidth; ++x)
            if (line[x] == from)
                line[x] = to;
    }
}

QRgb LcdSurface::pixel(int x, int y) const
{
    return m_image.pixel(Margin + 2 * x, Margin + 2 * y);
}

} // namespace qv
