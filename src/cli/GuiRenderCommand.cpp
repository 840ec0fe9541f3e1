// qv7xx-cli render: draws the meter's LCD from a capture, as the instrument
// window shows it, into a PNG picture (and optionally one after each frame).
#include "cli/GuiCommands.h"

#include "cli/CaptureInput.h"
#include "cli/Options.h"
#include "instrument/CaptureRenderer.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace qv::cli {

namespace {

bool savePng(const QImage &image, const QString &out)
{
    if (out != QLatin1String("-"))
        return image.save(out, "PNG");
    QFile file;
    return file.open(stdout, QIODevice::WriteOnly) && image.save(&file, "PNG") && file.flush();
}

} // namespace

CommandInfo renderInfo()
{
    return commandInfo(
        QStringLiteral("render"), QStringLiteral("--out FILE.png [CAPTURE|-]"),
        QStringLiteral("Draws the meter's LCD as the instrument window shows it after a capture of the\n"
                       "meter's bytes (a file, or standard input when CAPTURE is - or missing)."),
        {
            {"--out", "FILE.png", "where the picture goes (required; - for standard output)"},
            {"--hex", "", "the capture is hexadecimal text (blanks and newlines ignored), not raw bytes"},
            languageOption(),
            {"--edition", "0|1", "the maker's (0, default) or the distributor's (1) edition of the meter"},
            {"--scale", "N", "pixels per LCD dot, 1 to 32 (default 2)"},
            {"--frames", "DIR", "also write DIR/frame-NNNN.png, the picture after each frame"},
        },
        QStringLiteral("Exit status: 0, 2 on bad arguments, an unreadable capture or an unwritable picture,\n"
                       "3 when the capture holds no screen of the meter (nothing is written)."));
}

int runRender(const QStringList &args)
{
    ArgumentReader opts(renderInfo(), args);
    if (opts.askedForInfo())
        return opts.printInfo();
    RenderSettings settings;
    settings.language = readLanguage(opts);
    settings.edition = uint8_t(opts.integer("--edition", 0, 0, 1));
    const int scale = int(opts.integer("--scale", 2, 1, 32));
    const QString out = opts.text("--out");
    const bool hex = opts.flag("--hex");
    const QString framesDir = opts.text("--frames");
    const QString path = opts.singlePositional();
    if (opts.ok() && out.isEmpty())
        opts.setError(QStringLiteral("--out is required (a PNG file, or - for standard output)"));
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
    // The picture of an empty capture is the LCD before any frame: blank.
    if (lcd == renderCapture(QByteArray(), settings)) {
        std::fprintf(stderr, "qv7xx-cli: the capture holds no screen of the meter; no picture written\n");
        return RenderNoScreen;
    }
    if (!savePng(scaleLcd(lcd, scale), out) || !written)
        return failWith(QStringLiteral("cannot write %1").arg(out));
    return 0;
}

} // namespace qv::cli
