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

CommandInfo decodeInfo()
{
    return commandInfo(
        QStringLiteral("decode"), QStringLiteral("[FILE|-]"),
        QStringLiteral("Feeds a capture of the meter's bytes (a file, or standard input when FILE is - or\n"
                       "missing) to the program's own receiver and prints every event it raises, one JSON\n"
                       "object a line (the members are described in docs/decode-json.md)."),
        {
            {"--hex", "", "the input is hexadecimal text (blanks and newlines ignored), not raw bytes"},
            {"--block-size", "N", "hand the input to the receiver in blocks of N bytes (default: one block)"},
            languageOption(),
            {"--decimal-separator", "C", "decimal separator of the value texts (default: the system's)"},
            {"--date-separator", "C", "date separator (default: the system's)"},
            {"--time-separator", "C", "time separator (default: the system's)"},
        },
        QStringLiteral("Exit status: 0 when the input was read (whatever it held), 2 on bad arguments or\n"
                       "an unreadable input."));
}

bool parseDecodeOptions(ArgumentReader &opts, DecodeOptions &out)
{
    out.hex = opts.flag("--hex");
    out.blockSize = int(opts.integer("--block-size", 0, 1, 1 << 30));
    out.language = readLanguage(opts);
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
    ArgumentReader opts(decodeInfo(), args);
    if (opts.askedForInfo())
        return opts.printInfo();
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
