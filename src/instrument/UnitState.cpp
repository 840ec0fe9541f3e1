#include "instrument/UnitState.h"

namespace qv {

UnitState UnitState::derive(const TDataInfoQV &info, const QByteArray &frame)
{
    UnitState u;
    u.kind = int(info.LuminanceMode) + 2 * int(info.SeriesRunning) + 4 * int(info.RelativeMode) +
             8 * int(info.DoseMode);
    u.row = frameByte(frame, 10) >> 5;
    u.probeCode = frameByte(frame, 7);
    u.accessory = frameByte(frame, 9) >> 4;
    return u;
}

std::optional<int> prefixExponent(QChar c)
{
    switch (c.unicode()) {
    case 'a': return -18;
    case 'f': return -15;
    case 'p': return -12;
    case 'n': return -9;
    case 'u': case 0x00B5: case 0x03BC: return -6;
    case 'm': return -3;
    case ' ': return 0;
    case 'k': return 3;
    case 'M': return 6;
    case 'G': return 9;
    case 'T': return 12;
    case 'P': return 15;
    default: return std::nullopt;
    }
}

} // namespace qv
