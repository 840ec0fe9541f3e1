// The unit state by which a value is labelled: the unit kind (from the info
// record's mode flags), the unit row (from the frame), the probe and the
// luminance attachment. Also the prefix letters of value texts.
#pragma once

#include "protocol/Records.h"

#include <QByteArray>
#include <QChar>

#include <optional>

namespace qv {

// Unit kinds: the odd ones are the luminance kinds.
enum UnitKind : int {
    ukIrradiance = 0, ukLuminance = 1, ukStat = 2, ukLumStat = 3,
    ukRelative = 4, ukLumRelative = 5, ukExposure = 8, ukLumExposure = 9,
};

struct UnitState {
    int kind = 0;
    int row = 0;          // irradiance kinds: 0 lx, 1 W/m², 2 A, 3 E/(m²·s); 4+ unnamed
    int probeCode = 0;
    int accessory = 0;    // luminance attachment 0 none, 1, 2, 3

    // From an info record and the frame (or memory cell seen as a frame)
    // that carried it; a frame too short to hold the fields gives zeros.
    static UnitState derive(const TDataInfoQV &info, const QByteArray &frame);
    bool luminance() const { return kind & 1; }
};

// The decimal exponent of a prefix letter (a f p n u m, space, k M G T P; "µ"
// is taken as "u"); nothing for any other character.
std::optional<int> prefixExponent(QChar c);

// A frame byte, 0 beyond the end.
inline uint8_t frameByte(const QByteArray &frame, int offset)
{
    return offset < frame.size() ? static_cast<uint8_t>(frame[offset]) : 0;
}

} // namespace qv
