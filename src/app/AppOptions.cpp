#include "app/AppOptions.h"

#include "serial/VirtualPort.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace qv {

bool parseAppOptions(const QStringList &arguments, AppOptions &options, QString &error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The QV-7xx light meter companion."));
    parser.addHelpOption();
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("The serial port of the meter."),
                                  QStringLiteral("PATH"));
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  QStringLiteral("The line rate: 1200, 2400, 4800 or 9600 bit/s."),
                                  QStringLiteral("RATE"));
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Run with a simulated meter."));
    QCommandLineOption screenshot(QStringLiteral("screenshot"), QString(), QStringLiteral("FILE"));
    QCommandLineOption after(QStringLiteral("after"), QString(), QStringLiteral("MS"));
    QCommandLineOption timeout(QStringLiteral("timeout"), QString(), QStringLiteral("MS"));
    screenshot.setFlags(QCommandLineOption::HiddenFromHelp);
    after.setFlags(QCommandLineOption::HiddenFromHelp);
    timeout.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({port, baud, simulate, screenshot, after, timeout});
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        error = parser.helpText();
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first());
        return false;
    }
    options = AppOptions{};
    options.port = parser.value(port);
    options.simulate = parser.isSet(simulate);
    options.screenshot = parser.value(screenshot);
    if (parser.isSet(baud)) {
        switch (parser.value(baud).toInt()) {
        case 1200: options.baud = br001200; break;
        case 2400: options.baud = br002400; break;
        case 4800: options.baud = br004800; break;
        case 9600: options.baud = br009600; break;
        default:
            error = QStringLiteral("the meter runs at 1200, 2400, 4800 or 9600 bit/s");
            return false;
        }
    }
    if (parser.isSet(after)) {
        bool ok = false;
        options.afterMs = parser.value(after).toInt(&ok);
        if (!ok || options.afterMs < 0) {
            error = QStringLiteral("--after needs a number of milliseconds");
            return false;
        }
    }
    if (parser.isSet(timeout)) {
        bool ok = false;
        options.timeoutMs = parser.value(timeout).toInt(&ok);
        if (!ok || options.timeoutMs < 1) {
            error = QStringLiteral("--timeout needs a number of milliseconds");
            return false;
        }
    }
    return true;
}

bool shouldSimulate(const AppOptions &options, const LinkSettings &stored, bool storedRead,
                    const std::function<bool(const QString &)> &portExists)
{
    if (options.simulate)
        return true;
    if (!options.port.isEmpty())
        return false;
    return !storedRead || stored.port.isEmpty() || !portExists(stored.port);
}

bool portDeviceExists(const QString &name)
{
    const QString path = name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
    switch (virtualPortState(path)) {
    case VirtualPortState::Live: return true;
    case VirtualPortState::Gone: return false;
    case VirtualPortState::NotVirtual: break;
    }
    return QFileInfo::exists(path);
}

} // namespace qv
