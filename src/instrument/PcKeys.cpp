#include "instrument/PcKeys.h"

#include "protocol/TComm32QV.h"

#include <Qt>

namespace qv {

std::optional<MeterKey> pcKeyToMeterKey(int key, int screen, uint8_t lastFrameType)
{
    switch (key) {
    case Qt::Key_F1: return MeterKey::Mode;
    case Qt::Key_F2: return MeterKey::Set;
    case Qt::Key_F3: return MeterKey::Memo;
    case Qt::Key_Escape: return MeterKey::Esc;
    case Qt::Key_Up: return MeterKey::Up;
    case Qt::Key_Down: return MeterKey::Down;
    case Qt::Key_Right: return MeterKey::Meas;
    case Qt::Key_Return:
    case Qt::Key_Enter: return MeterKey::Enter;
    case Qt::Key_Left:
        if (screen == 1400 || screen == 25100 || screen == 2500 || screen == 2510 || screen == 25000 ||
            (screen == 100 && lastFrameType != ftMemoryPreview))
            return MeterKey::Down;
        return std::nullopt;
    default: return std::nullopt;
    }
}

std::optional<QChar> acceptedChar(QChar ch, const EntryPermissions &entry)
{
    if (!entry.active || !ch.isPrint())
        return std::nullopt;
    const bool digit = ch >= QLatin1Char('0') && ch <= QLatin1Char('9');
    const bool point = ch == QLatin1Char('.') || ch == QLatin1Char(',');
    if (!entry.any && !(digit && (entry.digits || entry.decimal)) && !(point && entry.decimal))
        return std::nullopt;
    return ch == QLatin1Char(',') ? QChar(QLatin1Char('.')) : ch;
}

int hintCell(MeterKey key)
{
    switch (key) {
    case MeterKey::Mode: return 0;
    case MeterKey::Set: return 1;
    case MeterKey::Memo: return 2;
    case MeterKey::Esc: return 3;
    case MeterKey::Up: return 4;
    case MeterKey::Down: return 5;
    case MeterKey::Meas: return 6;
    case MeterKey::Enter: return 7;
    default: return -1;
    }
}

} // namespace qv
