// The memory screens: the preview of a stored cell, the record view, the
// transfer progress; and the welcome screen.
#include "instrument/LcdScreen.h"

#include "protocol/Cp1250.h"
#include "protocol/FrameDecoders.h"

namespace qv {

namespace {
constexpr int CellFrameLength = 66;   // frame types 0x00 and 0x05
}

bool LcdScreen::decodeCell(TDataInfoQV &info) const
{
    if (rec.frame.size() < CellFrameLength)
        return false;
    bool countSeen = false;   // a stored cell does not touch the receiver's remembered flag
    decodeStatus(FrameView(reinterpret_cast<const uint8_t *>(rec.frame.constData())), rec.frameType(),
                 countSeen, info);
    return true;
}

void LcdScreen::drawCellPreview()
{
    TDataInfoQV cell{};
    if (!decodeCell(cell))
        return;
    m_canvas.drawText(FromCp1250(rec.frame.constData() + 48, 16), 8, 40, LcdCanvas::Font::Text);
    m_surface.fill(2, 48, 46, 64);
    m_surface.fill(2, 48, 46, 49, LcdInk);
    m_surface.fill(45, 48, 46, 63, LcdInk);
    drawStatusIcons(cell, 2);
    m_surface.fill(94, 48, 124, 64);
    m_canvas.drawTime(cell.DateTime, 89, 48);
    unit = UnitState::derive(cell, rec.frame);
    const int lx = unit.row == 2 ? 36 : 18 * (unit.kind & 1);
    const int ly = (unit.kind == ukExposure || unit.kind == ukLumExposure) ? 15 : 0;
    m_canvas.drawCell(QStringLiteral("QVMEMOPREVIEWDESC"), QRect(lx, ly, 18, 15), 25, 24);
    m_canvas.drawCell(QStringLiteral("QVMEMOPREVIEWLUM"), QRect(0, 8 * unit.accessory, 28, 8), 46, 48);
    drawValue(24);
}

void LcdScreen::drawRecordView()
{
    TDataInfoQV cell{};
    if (!decodeCell(cell))
        return;
    hideCursor();
    m_surface.clear();
    unit = UnitState::derive(cell, rec.frame);
    drawBackground(cell);
    drawStatusIcons(cell, 2);
    m_canvas.drawTime(cell.DateTime, 94, 48);
    m_canvas.drawBitmap(m_canvas.localName(QStringLiteral("QVINFOMEMOVIEW")), 45, 48);
    drawValueArea();
}

void LcdScreen::drawProgress(int total, int current, int perMille)
{
    m_surface.fill(43, 32, 93, 48);
    QString pm = QString::number(perMille);
    if (pm.size() == 1)
        pm.prepend('0');
    pm.insert(pm.size() - 1, '.');
    m_canvas.drawLargeText(pm, 93 - 10 * int(pm.size()), 32);
    m_canvas.drawUnit(93, 32, 0, ukRelative, 0);
    m_surface.fill(62, 48, 80, 56);
    const QString cur = QString::number(current);
    m_canvas.drawText(cur, 80 - LcdCanvas::smallDigitsWidth(cur), 48, LcdCanvas::Font::SmallDigits);
    m_canvas.drawText(QString::number(total), 91, 48, LcdCanvas::Font::SmallDigits);
}

void LcdScreen::drawWelcome()
{
    QString name = QStringLiteral("QVWELCOME") + (rec.info.LuxProbe ? "K700" : "QV700");
    name = m_canvas.localName(name) + (m_edition == 1 ? "_JUX" : "");
    m_canvas.drawBitmap(name, 0, 0);
    if (!rec.identReceived)
        return;
    const QString version = rec.ident.FirmwareVersion + '.' + rec.ident.ProbeVariant.left(1);
    for (QChar c : version)
        if (!(c.isDigit() && c.unicode() < 128) && c != '.')
            return;
    m_canvas.drawText(version, 128 - LcdCanvas::smallDigitsWidth(version), 0, LcdCanvas::Font::SmallDigits);
}

} // namespace qv
