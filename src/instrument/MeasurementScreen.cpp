// The measurement screen: background per unit kind, status icons, range
// field, run marks, the value area and the bar graph.
#include "instrument/LcdScreen.h"

namespace qv {

namespace {

QString kindName(int kind)
{
    switch (kind) {
    case ukIrradiance: return QStringLiteral("IRRADIANCE");
    case ukLuminance: return QStringLiteral("LUMINANCE");
    case ukStat: return QStringLiteral("STAT");
    case ukLumStat: return QStringLiteral("LUMSTAT");
    case ukRelative: return QStringLiteral("RELATIVE");
    case ukLumRelative: return QStringLiteral("LUMRELATIVE");
    case ukExposure: return QStringLiteral("RADIANTEXPOSURE");
    case ukLumExposure: return QStringLiteral("LUMEXPOSURE");
    default: return QString();
    }
}

bool isStartFrame(const QByteArray &f) { return frameByte(f, 2) == 1 && frameByte(f, 3) == 'S'; }
bool isStopFrame(const QByteArray &f)
{
    return (frameByte(f, 2) == 1 || frameByte(f, 2) == 2) && frameByte(f, 3) == 's';
}

} // namespace

void LcdScreen::drawMeasurementScreen()
{
    hideCursor();
    if (previousScreen != 0) {
        m_surface.clear();
        if (rec.info.ProbePresent)
            drawBackground(rec.info);
        else
            m_canvas.drawBitmap(m_canvas.localName(QStringLiteral("QVERRORNOPROBE")), 59, 0);
    }
    drawStatusIcons(rec.info, 26);
    m_canvas.drawCell(QStringLiteral("QVICONMEMO"), QRect(10 * rec.info.MemoLevel, 0, 10, 16), 69, 48);
    m_canvas.drawCell(QStringLiteral("QVICONBAT"), QRect(10 * rec.info.BatteryLevel, 0, 10, 16), 79, 48);
    m_canvas.drawCell(QStringLiteral("QVICONALARM"), QRect(5 * int(rec.info.AlarmOn), 0, 5, 16), 89, 48);
    drawRangeField();
    if (rec.info.ProbePresent)
        drawRunMarks();
}

void LcdScreen::drawBackground(const TDataInfoQV &info)
{
    const int k = unit.kind;
    const QString name = kindName(k);
    if (!name.isEmpty()) {
        QString res = QStringLiteral("QVSCREEN") + name;
        if (k == ukStat || k == ukLumStat || k == ukExposure || k == ukLumExposure)
            res = m_canvas.localName(res);
        if (k == ukIrradiance || k == ukLuminance)
            m_canvas.drawBitmap(res, 12, 16);
        else
            m_canvas.drawBitmap(res, 0, info.SeriesRunning ? 8 : 0);
    }
    if (unit.row != 2)
        return;
    // amperes: the current (or charge) symbols replace the quantity letters
    if (k == ukIrradiance || k == ukRelative)
        m_canvas.drawBitmap(QStringLiteral("QVSCREENCURRENTLARGE"), 12, 16);
    if (k == ukStat)
        m_canvas.drawBitmap(QStringLiteral("QVSCREENCURRENTLARGE"), 12, 8);
    if (k == ukExposure)
        m_canvas.drawBitmap(QStringLiteral("QVSCREENCHARGE"), 12, 8);
    if (k == ukRelative || k == ukExposure)
        m_canvas.drawBitmap(QStringLiteral("QVSCREENCURRENTSMALL"), 0, 0);
    if (k == ukRelative)
        m_canvas.drawBitmap(QStringLiteral("QVSCREENCURRENTRELATIVE"), 0, 40);
}

void LcdScreen::drawStatusIcons(const TDataInfoQV &info, int x)
{
    const int m = int(info.RelativeMode) + 2 * int(info.SingleMeas) + 4 * int(info.ContinuousMeas) +
                  8 * int(info.DoseMode);
    const int mode = (m >= 2 && m <= 5) ? m - 2 : 4;
    m_canvas.drawCell(QStringLiteral("QVICONMODE"), QRect(15 * mode, 0, 15, 16), x, 48);
    m_canvas.drawCell(QStringLiteral("QVICONAUTORANGE"), QRect(10 * int(info.AutoRange), 0, 10, 16), x + 15, 48);
    m_canvas.drawCell(QStringLiteral("QVICONSTATSAVE"), QRect(10 * int(info.StatAutoSave), 0, 10, 16), x + 25, 48);
    m_canvas.drawCell(QStringLiteral("QVICONMEMOSAVE"), QRect(8 * int(info.MemoAutoSave), 0, 8, 16), x + 35, 48);
}

void LcdScreen::drawRangeField()
{
    const QByteArray &f = rec.frame;
    const auto thinBar = [this] { m_surface.fillImageRect(QRect(4, 100, 52, 2), LcdInk); };
    if (frameByte(f, 6) & 1) {
        thinBar();
        m_canvas.drawBitmap(QStringLiteral("QVRANGENOPROBE"), 0, 48);
        return;
    }
    const int lum = unit.luminance() ? 2 : 0;
    const int r = (frameByte(f, 10) & 0x1F) - 2 * ((frameByte(f, 6) >> 1) & 1) + lum;
    bool drawn = false;
    if (r >= lum + 15 && r <= lum + 18) {
        // Negative columns and rows wrap to large unsigned numbers: nothing is drawn.
        const unsigned row = unsigned(r - 15 - lum);
        int col = frameByte(f, 11) - 39 + (((frameByte(f, 8) & 0x0F) * frameByte(f, 9)) & 0x0F) - (r > 17 ? 1 : 0);
        if (unit.luminance()) {
            col += 13 - unit.accessory;
            if (unsigned(col) < 21 && row < 4) {
                drawn = m_canvas.drawCell(QStringLiteral("QVRANGELUMINANCE"), QRect(20 * col, 16 * int(row), 20, 16), 6, 48);
                m_canvas.drawCell(QStringLiteral("QVTYPLUMACCESSORY"), QRect(6 * (unit.accessory - 1), 0, 6, 16), 0, 48);
            }
        } else {
            int unitRow = unit.row;
            int add = unitRow == 0 ? 3 : unitRow == 1 ? 6 : unitRow < 4 ? 9 : 15;
            if (unitRow < 4 && col + add >= 10) {
                unitRow = 4;
                add = 12;
            }
            col += add;
            if (unitRow < 4) {
                const unsigned cellRow = row + 4u * unsigned(unitRow);
                if (unsigned(col) < 10 && cellRow < 16)
                    drawn = m_canvas.drawCell(QStringLiteral("QVRANGEIRRADIANCE"),
                                              QRect(26 * col, 16 * int(cellRow), 26, 16), 0, 48);
            } else if (unsigned(col) < 19 && row < 4) {
                drawn = m_canvas.drawCell(QStringLiteral("QVRANGENONAME"), QRect(26 * col, 16 * int(row), 26, 16), 0, 48);
            }
        }
    }
    if (!drawn)
        thinBar();
}

void LcdScreen::drawRunMarks()
{
    const int k = unit.kind;
    const int y = (k == ukStat || k == ukLumStat || k == ukExposure || k == ukLumExposure) ? 8 : 16;
    if (previousScreen == 0 && (isStartFrame(rec.frame) || rec.meas.Complete))
        m_canvas.drawBitmap(QStringLiteral("QVSCREENPLAY"), 12, y);
    if (!runInProgress || isStopFrame(rec.frame))
        m_canvas.drawBitmap(QStringLiteral("QVSCREENPAUSE"), 12, y);
}

void LcdScreen::drawValue(int y)
{
    const TDataMeasQV &m = rec.meas;
    if (y < 0)
        y = m.SeriesMode ? 8 : 16;
    QString text = m.RelativeMode ? m.RelativeResultText : m.DoseMode ? m.DoseText : m.ValueText;
    text = text.rightJustified(7, ' ');
    m_canvas.drawValueDigits(text, y);
    const bool over = m.DoseMode ? m.DoseOverflow : m.OverRange;
    if (over)
        m_canvas.drawBitmap(QStringLiteral("QVSCREENOVER"), 4, y);
    else
        m_surface.fill(4, y, 12, y + 16);
    if (const auto exp = prefixExponent(text[6]))
        m_canvas.drawUnit(93, y, unit.row, unit.kind, *exp);
}

void LcdScreen::drawValueArea(int y)
{
    const TDataMeasQV &m = rec.meas;
    drawValue(y);
    if (m.RelativeMode) {
        m_canvas.drawSmallValue(m.ValueText, 13, 0, true, unit);
        m_canvas.drawSmallValue(m.ReferenceText, 13, 40, true, unit);
    }
    if (m.SeriesMode) {
        m_canvas.drawSmallValue(m.SeriesCountText, 21, 24, false, unit);
        m_canvas.drawSmallValue(m.SeriesMinText, 21, 32, false, unit);
        m_canvas.drawSmallValue(m.SeriesMaxText, 21, 40, false, unit);
        m_canvas.drawSmallValue(m.SeriesAverageText, 90, 24, false, unit);
        m_canvas.drawSmallValue(m.SeriesMinToAverageText, 90, 32, false, unit);
        m_canvas.drawSmallValue(m.SeriesMinToMaxText, 90, 40, false, unit);
    }
    if (m.DoseMode) {
        m_canvas.drawSmallValue(m.ValueText, 13, 0, true, unit);
        m_canvas.drawClockText(m.DoseTimeText, 94, 0);
    }
}

void LcdScreen::drawBarGraph()
{
    m_canvas.drawBitmap(QStringLiteral("QVLOGSCALE"), 0, 0);
    m_surface.fill(0, 2, LcdSurface::Width, 4);
    m_surface.fill(0, 2, std::clamp<int>(rec.meas.BarPosition, 0, LcdSurface::Width), 4, LcdInk);
}

bool LcdScreen::measurementReceived()
{
    const int s = rec.screen();
    const uint8_t type = rec.frameType();
    const int sizeFlag = int(rec.info.ExtMemory);
    const bool redraw = (type == 2 && (s == 110 || s == 1100 ||
                                       ((s == 100 || s == 150) && sizeFlag != memorySizeFlag))) ||
                        (memorySizeFlag < 0 && s == 100);
    if (redraw) {
        hideCursor();
        drawMeasurementScreen();
        previousScreen = 0;
        m_canvas.drawTime(clockBase);
    }
    memorySizeFlag = sizeFlag;

    bool passOn = false;
    if (redraw || s == 0) {
        if (rec.info.ProbePresent || type == 0)
            drawValueArea();
        if (runInProgress && !rec.meas.DoseMode && !rec.meas.RelativeMode)
            drawBarGraph();
        passOn = rec.meas.Complete && !rec.meas.RangeChange;
    }
    if (type == 5 && memoryCellSelected)
        drawCellPreview();
    if (type == 0)
        drawRecordView();
    return passOn;
}

} // namespace qv
