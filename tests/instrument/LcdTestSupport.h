// Helpers of the LCD tests: records made from frames, and comparisons of a
// region of the picture with a cell of a bitmap resource.
#pragma once

#include "instrument/LcdScreen.h"
#include "protocol/FormatSettings.h"
#include "protocol/FrameDecoders.h"
#include "qvres/ResourceData.h"
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

// True when the LCD region at (x, y) shows `cell` of the resource `name`
// (black as ink, white as the brush colour); `why` names the first mismatch.
inline ::testing::AssertionResult showsCell(const qv::LcdSurface &lcd, const QString &name, const QRect &cell,
                                           int x, int y)
{
    const QImage img = qv::res::image(name);
    if (img.isNull())
        return ::testing::AssertionFailure() << "no resource " << qPrintable(name);
    for (int j = 0; j < cell.height(); ++j)
        for (int i = 0; i < cell.width(); ++i) {
            const bool ink = qGray(img.pixel(cell.x() + i, cell.y() + j)) < 128;
            const QRgb want = ink ? qv::LcdInk : lcd.brush();
            if (lcd.pixel(x + i, y + j) != want)
                return ::testing::AssertionFailure()
                       << qPrintable(name) << " differs at LCD (" << x + i << ", " << y + j << ")";
        }
    return ::testing::AssertionSuccess();
}

// Number of ink pixels in an LCD rectangle [x1, x2) x [y1, y2).
inline int inkCount(const qv::LcdSurface &lcd, int x1, int y1, int x2, int y2)
{
    int n = 0;
    for (int y = y1; y < y2; ++y)
        for (int x = x1; x < x2; ++x)
            n += lcd.isInk(x, y);
    return n;
}

// A white LCD, cleared.
inline qv::LcdSurface whiteLcd()
{
    qv::LcdSurface lcd;
    lcd.setBrush(qv::LcdColourWhite);
    lcd.clear();
    return lcd;
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
