#include "instrument/LcdCanvas.h"

#include "protocol/ValueFormat.h"

#include <QPainter>

namespace qv {

namespace {

const QString TextFontSet = QStringLiteral(
    " -./0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ\u0104\u0106\u0118\u0141\u0143\u00D3\u015A\u0179\u017Bz!@#$%&+?");
const QString LargeFontSet = QStringLiteral("0123456789 .:");
constexpr int TextCursorX = 348;
constexpr int SmallCursorX = 68;
constexpr int LargeCursorCell = 13;

QString two(int n) { return PadNumber(n, 2); }

} // namespace

LcdCanvas::LcdCanvas(LcdSurface &surface, const LcdResources &resources, uint8_t language)
    : m_surface(surface), m_resources(resources), m_language(language)
{
}

QString LcdCanvas::localName(const QString &base) const
{
    return base + (m_language == 0 ? QStringLiteral("_PL") : QStringLiteral("_EN"));
}

bool LcdCanvas::drawBitmap(const QString &name, int x, int y, LcdSurface::Mode mode)
{
    const QImage img = m_resources.image(name);
    if (img.isNull())
        return false;
    m_surface.copy(img, x, y, mode);
    return true;
}

bool LcdCanvas::drawCell(const QString &name, const QRect &cell, int x, int y)
{
    const QImage img = m_resources.image(name);
    if (img.isNull())
        return false;
    m_surface.copy(img, cell, x, y);
    return true;
}

LcdCanvas::Cell LcdCanvas::textCell(QChar c, Font font) const
{
    if (font == Font::Text) {
        const int i = std::max(0, int(TextFontSet.indexOf(c)));
        return {QStringLiteral("QVANSICHAR"),
                QRect(6 * i, 0, 6, 8)};
    }
    if (c.isDigit() && c.unicode() < 128)
        return {QStringLiteral("QVDIGITSSMALL"), QRect(6 * (c.unicode() - '0'), 0, 6, 8)};
    if (c == ' ')
        return {QStringLiteral("QVDIGITSSMALL"), QRect(60, 0, 2, 8)};
    if (c == '.')
        return {QStringLiteral("QVDIGITSSMALL"), QRect(66, 0, 2, 8)};
    return {QStringLiteral("QVDIGITSSMALL"), QRect(0, 0, 6, 8)};
}

LcdCanvas::Cell LcdCanvas::largeCell(QChar c) const
{
    const int i = std::max(0, int(LargeFontSet.indexOf(c)));
    return {QStringLiteral("QVDIGITSLARGE"), QRect(10 * i, 0, 10, 16)};
}

int LcdCanvas::smallDigitsWidth(const QString &text)
{
    int w = 0;
    for (QChar c : text)
        w += (c == ' ' || c == '.') ? 2 : 6;
    return w;
}

int LcdCanvas::drawText(const QString &text, int x, int y, Font font, int cursorIndex)
{
    for (int i = 0; i < text.size(); ++i) {
        const Cell cell = textCell(text[i], font);
        drawCell(cell.bitmap, cell.rect, x, y);
        if (i == cursorIndex) {
            const int ux = font == Font::Text ? TextCursorX : SmallCursorX;
            prepareCursor(cell, {cell.bitmap, QRect(ux, 0, cell.rect.width(), 8)}, x, y);
        }
        x += cell.rect.width();
    }
    return x;
}

int LcdCanvas::drawLargeText(const QString &text, int x, int y, int cursorIndex)
{
    for (int i = 0; i < text.size(); ++i) {
        const Cell cell = largeCell(text[i]);
        drawCell(cell.bitmap, cell.rect, x, y);
        if (i == cursorIndex)
            prepareCursor(cell, {cell.bitmap, QRect(10 * LargeCursorCell, 0, 10, 16)}, x, y);
        x += 10;
    }
    return x;
}

int LcdCanvas::drawClockText(const QString &text, int x, int y)
{
    for (QChar c : text) {
        if (c.isDigit() && c.unicode() < 128) {
            drawCell(QStringLiteral("QVCLOCKCHAR"), QRect(5 * (c.unicode() - '0'), 0, 5, 8), x, y);
            x += 5;
        } else if (c == '.' || c == ':') {
            drawCell(QStringLiteral("QVCLOCKCHAR"), QRect(c == '.' ? 50 : 52, 0, 2, 8), x, y);
            x += 2;
        } else {
            m_surface.fill(x, y, x + 5, y + 8);
            x += 5;
        }
    }
    return x;
}

void LcdCanvas::drawTime(TDateTime t, int x, int y)
{
    const QDateTime dt = ToQDateTime(t);
    const QTime tm = dt.time();
    const QDate d = dt.date();
    drawClockText(two(tm.hour()) + ':' + two(tm.minute()) + ':' + two(tm.second()), x, y);
    drawClockText(two(d.day()) + '.' + two(d.month()) + '.' + two(d.year() % 100), x, y + 8);
}

void LcdCanvas::drawValueDigits(const QString &text, int y)
{
    for (int i = 0; i < 5 && i < text.size(); ++i) {
        const QChar c = text[i];
        int cell = 10;   // a blank cell for characters the font does not have
        if (c.isDigit() && c.unicode() < 128)
            cell = c.unicode() - '0';
        else if (c == '.' || c == ',')
            cell = 11;
        else if (c == ':')
            cell = 12;
        drawCell(QStringLiteral("QVDIGITSLARGE"), QRect(10 * cell, 0, 10, 16), 43 + 10 * i, y);
    }
}

void LcdCanvas::drawUnit(int x, int y, int row, int kind, int exponent)
{
    const int e = exponent / 3;
    QString table;
    if (kind == 0 || kind == 2)
        table = QStringLiteral("QVUNITLARGEIRRADIANCE");
    else if (kind == 1 || kind == 3)
        table = QStringLiteral("QVUNITLARGELUMINANCE");
    else if (kind == 4 || kind == 5)
        table = QStringLiteral("QVUNITLARGEPERCENT");
    else if (kind == 8)
        table = QStringLiteral("QVUNITLARGEEXPOSURE");
    else if (kind == 9)
        table = QStringLiteral("QVUNITLARGELUMEXPOSURE");

    const bool percent = kind == 4 || kind == 5;
    const bool combined = (percent && e >= -3 && e < 4) ||
                          ((kind == 0 || kind == 2 || kind == 8) && row < 4 && e >= -5 && e < 4) ||
                          ((kind == 1 || kind == 3 || kind == 9) && row < 2 && e >= -5 && e <= 5);
    if (combined)
        drawCell(table, QRect(32 * (e + (percent ? 3 : 5)), 16 * (percent ? 0 : row), 32, 16), x, y);
    else
        drawCell(QStringLiteral("QVUNITPREFIXLARGE"), QRect(16 * (e + 6), 0, 16, 16), x, y);
}

void LcdCanvas::drawSmallValue(const QString &text, int x, int y, bool withUnit, const UnitState &unit)
{
    m_surface.fill(x, y, x + (withUnit ? 58 : 42), y + 8);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool last = i == text.size() - 1;
        if (c.isDigit() && c.unicode() < 128) {
            drawCell(QStringLiteral("QVDIGITSSMALL"), QRect(6 * (c.unicode() - '0'), 0, 6, 8), x, y);
            x += 6;
            continue;
        }
        if (last) {
            const auto exp = prefixExponent(c);
            if (!exp)
                break;
            const int e = *exp / 3;
            const int k = unit.kind;
            const bool irr = k == 4 || k == 8, lum = k == 5 || k == 9;
            if (withUnit && (irr || lum) && (unit.row < 2 || irr) && e >= -5 && e < 4)
                drawCell(irr ? QStringLiteral("QVUNITSMALLIRRADIANCE") : QStringLiteral("QVUNITSMALLLUMINANCE"),
                         QRect(36 * (e + 5), 8 * unit.row, 36, 8), x, y);
            else
                drawCell(QStringLiteral("QVUNITPREFIXSMALL"), QRect(6 * (e + 6), 0, 6, 8), x, y);
            break;
        }
        if (c == '.' || c == ',') {
            drawCell(QStringLiteral("QVDIGITSSMALL"), QRect(66, 0, 2, 8), x, y);
            x += 2;
        } else {
            drawCell(QStringLiteral("QVDIGITSSMALL"), QRect(60, 0, 3, 8), x, y);
            x += 3;
        }
    }
}

void LcdCanvas::prepareCursor(const Cell &ch, const Cell &underscore, int x, int y)
{
    const QImage font = m_resources.image(ch.bitmap);
    if (font.isNull())
        return;
    const int w = ch.rect.width(), h = ch.rect.height();
    QImage cells(2 * w, h, QImage::Format_RGB32);
    QPainter p(&cells);
    p.drawImage(QPoint(0, 0), font.convertToFormat(QImage::Format_RGB32), ch.rect);
    p.drawImage(QPoint(w, 0), font.convertToFormat(QImage::Format_RGB32),
                QRect(underscore.rect.x(), 0, w, h));
    p.end();
    m_cursor = EditCursor{cells, x, y, w, h, true};
}

void LcdCanvas::paintCursor(bool underscore)
{
    if (!m_cursor.visible || m_cursor.cells.isNull())
        return;
    const int w = m_cursor.width;
    m_surface.copy(m_cursor.cells, QRect(underscore ? w : 0, 0, w, m_cursor.height), m_cursor.x, m_cursor.y);
}

} // namespace qv
