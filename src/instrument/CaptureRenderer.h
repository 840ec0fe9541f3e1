// Draws the LCD from a capture of the meter's bytes, the way the program does
// on a live port: the bytes go through the protocol component (on a detached
// port, with a manual clock) into the instrument's core.
#pragma once

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <functional>

namespace qv {

struct RenderSettings {
    uint8_t language = 1;      // 0 Polish, 1 English
    uint8_t edition = 0;       // 0 maker's, 1 distributor's
    uint32_t settleMs = 1000;  // time let pass after the last byte (the clock appears)
};

// Feeds the capture as one block and returns the final picture (264 x 136).
// `afterFrame` gets the picture after each frame (index from 0).
QImage renderCapture(const QByteArray &bytes, const RenderSettings &settings,
                     const std::function<void(int frame, const QImage &)> &afterFrame = {});

// The picture at `scale` pixels per LCD dot (2 is the surface's own size),
// margin included.
QImage scaleLcd(const QImage &surface, int scale);

} // namespace qv
