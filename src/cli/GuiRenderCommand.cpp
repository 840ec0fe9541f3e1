// qv7xx-cli render: draws the meter's LCD from a capture, as the instrument
// window shows it, into a PNG picture (and optionally one after each frame).
#include "cli/GuiCommands.h"

#include "cli/CaptureInput.h"
#include "cli/Options.h"
#include "instrument/CaptureRenderer.h"

#include <QDir>

#include <cstdio>

namespace qv::cli {

namespace {

const char kUsage[] =
    "usage: qv7xx-cli render [--lang en|pl] [--edition 0|1] [--scale N] [--out FILE.png] [--hex] "
    "[--frames DIR] [CAPTURE|-]";

} // namespace

int runRender(const QStringList &args)
{
    Options opts(args, kUsage);
    RenderSettings settings;
    settings.language = opts.language("--lang");
    settings.edition = uint8_t(opts.integer("--edition", 0, 0, 1));
    const int scale = opts.integer("--scale", 2, 1, 32);
    const QString out = opts.text("--out", QStringLiteral("lcd.png"));
    const bool hex = opts.flag("--hex");
    const QString framesDir = opts.text("--frames");
    const QString path = opts.singlePositional();
    if (!opts.ok())
        return opts.fail();

    QByteArray bytes;
    QString error;
    if (!readCapture(path, hex, bytes, error))
        return failWith(error);
    if (!framesDir.isEmpty() && !QDir().mkpath(framesDir))
        return failWith(QStringLiteral("cannot create the folder %1").arg(framesDir));

    bool written = true;
    const auto frameSink = [&](int frame, const QImage &img) {
        const QString name = QStringLiteral("%1/frame-%2.png").arg(framesDir).arg(frame, 4, 10, QChar('0'));
        written = scaleLcd(img, scale).save(name, "PNG") && written;
    };
    const QImage lcd = renderCapture(bytes, settings, framesDir.isEmpty() ? nullptr : std::function(frameSink));
    if (!scaleLcd(lcd, scale).save(out, "PNG") || !written)
        return failWith(QStringLiteral("cannot write %1").arg(out));
    return 0;
}

} // namespace qv::cli
