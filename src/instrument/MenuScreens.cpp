// The screens named by the meter's screen number: menus with highlight and
// check marks, edit fields, dialogs and error boxes, the service screen.
#include "instrument/LcdScreen.h"

namespace qv {

namespace {

bool isYesNo(int menu) { return menu == 120 || menu == 130 || menu == 340 || menu == 3510; }
bool isFullWidth(int menu) { return menu == 10 || menu == 20 || menu == 30 || menu == 110; }

struct Dialog {
    int screen;
    const char *bitmap;
    bool local;
    int x, y;
};

const Dialog Dialogs[] = {
    {60000, "QVDIALOGCLOSEPROBE", true, 22, 16},
    {60010, "QVDIALOGZEROPROBE", true, 22, 16},
    {60020, "QVDIALOGONALARM", false, 22, 8},
    {60030, "QVDIALOGONALARM", false, 22, 8},
    {60040, "QVDIALOGCALIBRATION", true, 22, 8},
    {60050, "QVDIALOGEMPTYMEMORY", true, 22, 24},
    {60080, "QVDIALOGNOACCESS", true, 22, 8},
    {60090, "QVPROBEERROR", true, 22, 16},
    {60100, "QVEXTMEMORYOVERWRITE", true, 22, 16},
    {61000, "QVERRORFORMAT", true, 61, 0},
    {61010, "QVERRORZERO", true, 61, 0},
    {61020, "QVERROROUTRANGE", true, 61, 0},
    {61030, "QVERRORFULLMEMORY", true, 61, 2},
    {61040, "QVERRORFULLMEMORY", true, 61, 2},
    {61050, "QVERRORCOMMPROBE", true, 61, 0},
};

} // namespace

void LcdScreen::drawScreen()
{
    const int s = rec.screen();
    if (QString::number(s).startsWith(QLatin1String("2540"))) {
        drawServiceScreen();
    } else {
        keysLocked = false;
        if (s == 0)
            drawMeasurementScreen();
        else if (s == 1)
            drawWelcome();
        else if (s >= 60000)
            drawDialog(s);
        else
            drawMenuPath(s);
    }
    previousScreen = s;
}

void LcdScreen::drawServiceScreen()
{
    if (m_canvas.drawBitmap(m_canvas.localName(QStringLiteral("QVMENU2540")), 0, 0))
        m_surface.recolour(m_surface.pixel(0, 0), m_surface.brush());
    keysLocked = true;
}

void LcdScreen::drawMenuPath(int screen)
{
    const QString t = QString::number(screen).left(7);
    for (int k = 2; k <= t.size() && k <= 5; ++k) {
        const int menu = (t.left(k - 1) + '0').toInt();
        const int item = t[k - 1].digitValue();
        bool drawn = false;
        if (isYesNo(menu))
            drawn = m_canvas.drawBitmap(m_canvas.localName(QStringLiteral("QVMENUYESNO")), 72, 24);
        else if (!(screen == 110 && cursorShown()))
            drawn = m_canvas.drawBitmap(m_canvas.localName(QStringLiteral("QVMENU") + QString::number(menu)),
                                        isFullWidth(menu) ? 0 : 21, 0);
        if (drawn) {
            highlight(menu, item);
            drawChecks(menu);
        }
    }
    if (screen == 100)
        m_canvas.drawText(QString::number(rec.info.MemoCells + 1), 84, 24, LcdCanvas::Font::SmallDigits);
    else if (screen == 110)
        m_canvas.drawBitmap(rec.info.ExtMemory ? QStringLiteral("QVMAXMEMOCELL511") : QStringLiteral("QVMAXMEMOCELL512"), 101, 16);
    else if (screen == 150)
        drawProgress(rec.info.MemoCells, 0, 0);
}

void LcdScreen::highlight(int menu, int d)
{
    int x1 = 40, x2 = 122, y1;
    if (menu == 10 || menu == 20 || menu == 30)
        y1 = 8 + 8 * d;
    else if (isYesNo(menu)) {
        x1 = 83;
        x2 = 113;
        y1 = 40 + 8 * d;
    } else if (menu == 140 || menu == 2520) {
        const int perColumn = menu == 140 ? 5 : 4;
        x1 = 65 + 28 * (d / perColumn);
        x2 = x1 + 28;
        y1 = (menu == 140 ? 19 : 24) + 8 * (d % perColumn);
    } else if (menu == 230 || menu == 350 || menu == 2530)
        y1 = 24 + 8 * d;
    else if (menu == 250)
        y1 = 16 + 8 * d;
    else
        return;
    m_surface.invert(x1, y1, x2, y1 + 8);
}

void LcdScreen::drawChecks(int menu)
{
    const TDataInfoQV &i = rec.info;
    const auto check = [this](bool on, int y) {
        if (on)
            m_canvas.drawBitmap(QStringLiteral("QVMENUCHECK"), 28, y);
    };
    switch (menu) {
    case 10: check(i.MemoAutoSave, 40); break;
    case 20: check(i.AutoRange, 8); check(i.LuminanceMode, 32); check(i.BacklightOn, 40); break;
    case 30:
        check(i.SingleMeas, 8); check(i.ContinuousMeas, 16); check(i.RelativeMode, 24); check(i.DoseMode, 32);
        break;
    case 230: check(unit.accessory != 0, 26 + 8 * unit.accessory); break;
    case 250: check(i.AlarmOn, 24); break;
    case 350: check(i.StatAutoSave, 40); break;
    default: break;
    }
}

void LcdScreen::drawDialog(int screen)
{
    for (const Dialog &d : Dialogs) {
        if (d.screen != screen)
            continue;
        if (screen == 60080 || screen == 60090)
            drawWelcome();
        if (screen == 61040)
            drawRunMarks();
        const QString name = d.local ? m_canvas.localName(QLatin1String(d.bitmap)) : QLatin1String(d.bitmap);
        const bool overlay = screen == 60030 || (screen == 60040 && rec.frameType() != 6);
        m_canvas.drawBitmap(name, d.x, d.y, overlay ? LcdSurface::Mode::And : LcdSurface::Mode::Copy);
        return;
    }
}

void LcdScreen::textReceived()
{
    const TDataTextQV &t = rec.text;
    const int cur = t.Cursor;
    switch (rec.screen()) {
    case 100: case 1400: case 25100:
        m_canvas.drawText(t.Text, 25, 40, LcdCanvas::Font::Text, cur);
        break;
    case 110:
        drawCellSelection();
        break;
    case 220: case 320: {
        m_canvas.drawLargeText(t.Text, 33, 32, cur);
        const int b = t.Byte45;
        m_canvas.drawUnit(83, 32, unit.row, unit.kind, ((b >> 4) - 13 + (b & 15)) * 3);
        break;
    }
    case 2500: case 2510: case 25000:
        m_canvas.drawLargeText(t.Text, 33, 32, cur);
        break;
    case 60020:
        m_canvas.drawText(t.Text, 83, 16, LcdCanvas::Font::Text);
        break;
    case 60030:
        m_canvas.drawText(t.Text, 27, 24, LcdCanvas::Font::Text);
        break;
    case 60040: {
        // The new and the old factor have fixed places in the record; the
        // meter's length byte does not count them both.
        const QString all = t.Chars.leftJustified(16, ' ');
        m_canvas.drawText(all.mid(1, 7), 27, 24, LcdCanvas::Font::SmallDigits);
        m_canvas.drawText(all.mid(9, 7), 73, 24, LcdCanvas::Font::SmallDigits);
        break;
    }
    default:
        break;
    }
}

void LcdScreen::drawCellSelection()
{
    bool ok = false;
    const int n = rec.text.Text.trimmed().toInt(&ok);
    if (!ok)
        return;
    const int count = rec.info.MemoCells;
    memoryCellSelected = n > 0 && n <= count;
    if (!memoryCellSelected) {
        m_canvas.drawBitmap(m_canvas.localName(QStringLiteral("QVMENU110")), 0, 0);
        m_canvas.drawBitmap(rec.info.ExtMemory ? QStringLiteral("QVMAXMEMOCELL511") : QStringLiteral("QVMAXMEMOCELL512"), 101, 16);
        const int size = rec.info.ExtMemory ? 511 : 512;
        if (n == 0 || n > size)
            m_canvas.drawBitmap(m_canvas.localName(QStringLiteral("QVINFOOUTCELL")), 2, 48);
        else if (n > count)
            m_canvas.drawBitmap(m_canvas.localName(QStringLiteral("QVINFOEMPTYCELL")), 2, 48);
    }
    m_canvas.drawText(QString::number(count), 76, 16, LcdCanvas::Font::SmallDigits);
    m_canvas.drawText(rec.text.Text, 49, 16, LcdCanvas::Font::SmallDigits, rec.text.Cursor);
}

} // namespace qv
