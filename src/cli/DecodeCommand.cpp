// qv7xx-cli decode: feeds a capture to the program's own receiver and prints
// every event it raises, one JSON object a line.
#include "cli/DecodeCapture.h"

#include "cli/CaptureInput.h"
#include "cli/Commands.h"
#include "cli/EventJson.h"
#include "cli/Options.h"

#include "protocol/CaptureReplay.h"
#include "protocol/FormatSettings.h"

#include <cstdio>

namespace qv::cli {

namespace {

const char kUsage[] =
    "usage: qv7xx-cli decode [--hex] [--block-size N] [--lang en|pl] [--decimal-separator C] "
    "[--date-separator C] [--time-separator C] [FILE|-]";

} // namespace

bool parseDecodeOptions(Options &opts, DecodeOptions &out)
{
    out.hex = opts.flag("--hex");
    out.blockSize = opts.integer("--block-size", 0, 1, 1 << 30);
    out.language = opts.language("--lang");
    FormatSettings settings = FormatSettings::fromSystem();
    settings.decimalSeparator = opts.character("--decimal-separator", settings.decimalSeparator);
    settings.dateSeparator = opts.character("--date-separator", settings.dateSeparator);
    settings.timeSeparator = opts.character("--time-separator", settings.timeSeparator);
    out.settings = settings;
    return opts.ok();
}

void decodeCapture(const QByteArray &bytes, const DecodeOptions &options,
                   const std::function<void(const QByteArray &)> &sink)
{
    ScopedFormatSettings scoped(options.settings);
    CaptureReplay replay(options.language);
    EventJson printer(replay.comm(), sink);
    replay.deliver(bytes, options.blockSize);
}

int runDecode(const QStringList &args)
{
    Options opts(args, kUsage);
    DecodeOptions options;
    parseDecodeOptions(opts, options);
    const QString path = opts.singlePositional();
    if (!opts.ok())
        return opts.fail();

    QByteArray bytes;
    QString error;
    if (!readCapture(path, options.hex, bytes, error))
        return failWith(error);
    decodeCapture(bytes, options, [](const QByteArray &line) {
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
        std::fputc('\n', stdout);
    });
    std::fflush(stdout);
    return 0;
}

} // namespace qv::cli
