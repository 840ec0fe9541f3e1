// Helpers of the LCD tests: records made from frames, and resources with
// pictures missing.
#pragma once

#include "instrument/LcdScreen.h"
#include "protocol/FormatSettings.h"
#include "protocol/FrameDecoders.h"
#include "support/Frames.h"

#include <QString>

#include <gtest/gtest.h>

namespace lcdtest {

// Stores a frame and the records it decodes into, as the protocol component
// would hand them over (info and measurement where the type carries them).
inline void store(qv::LcdScreen &s, const qvtest::Frame &f, bool complete = true)
{
    s.rec.frame = f.data();
    const uint8_t type = f.bytes()[2];
    const qv::FrameView view(f.ptr());
    bool seen = false;
    if (type == 1 || type == 2 || type == 6)
        qv::decodeStatus(view, type, seen, s.rec.info);
    if (type == 0 || type == 2 || type == 5)
        qv::decodeMeasurement(view, complete && type == 2, 1, s.rec.meas);
}

// A measurement frame: probe present, screen 0, the given unit row and kind
// bits (status word), converter range 15, exponent code 41, a value.
inline qvtest::Frame measFrame(float value, uint16_t status = 0x0002, int unitRow = 1)
{
    qvtest::Frame f(2);
    f.keys('S').word(5, status).byte(7, 10).byte(8, 0x30).byte(9, 0x01)
        .byte(10, uint8_t((unitRow << 5) | 15)).byte(11, 41).menu(0).clock()
        .single(26, value).byte(30, 41);
    return f;
}

// Resources with some pictures taken away.
class Without : public qv::LcdResources {
public:
    explicit Without(QStringList names) : m_names(std::move(names)) {}
    QImage image(const QString &name) const override
    {
        return m_names.contains(name) ? QImage() : qv::LcdResources::image(name);
    }

private:
    QStringList m_names;
};

} // namespace lcdtest
