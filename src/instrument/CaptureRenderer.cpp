#include "instrument/CaptureRenderer.h"

#include "instrument/MeterCore.h"
#include "protocol/CaptureReplay.h"

namespace qv {

QImage renderCapture(const QByteArray &bytes, const RenderSettings &settings,
                     const std::function<void(int, const QImage &)> &afterFrame)
{
    CaptureReplay replay(settings.language);
    TComm32QV &comm = replay.comm();
    MeterCore core(comm, settings.language, settings.edition, replay.clock(), replay.timers());

    // A frame's events all run inside its OnRecFrame's dispatch, so the
    // picture after frame k is the one at the start of frame k + 1.
    int frames = 0;
    if (afterFrame) {
        auto coreHandler = comm.OnRecFrame;
        comm.OnRecFrame = [&, coreHandler](const uint8_t *buf, uint32_t size) {
            if (frames > 0)
                afterFrame(frames - 1, core.lcdImage());
            ++frames;
            coreHandler(buf, size);
        };
    }
    replay.deliver(bytes);
    if (afterFrame && frames > 0)
        afterFrame(frames - 1, core.lcdImage());
    replay.advance(settings.settleMs);
    return core.lcdImage();
}

QImage scaleLcd(const QImage &surface, int scale)
{
    if (scale == 2)
        return surface;
    // One pixel per dot (the blocks are exact), then enlarged without blending.
    QImage dots(surface.width() / 2, surface.height() / 2, QImage::Format_RGB32);
    for (int y = 0; y < dots.height(); ++y)
        for (int x = 0; x < dots.width(); ++x)
            dots.setPixel(x, y, surface.pixel(2 * x, 2 * y));
    return scale == 1 ? dots : dots.scaled(dots.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

} // namespace qv
