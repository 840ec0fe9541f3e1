// qv7xx-cli monitor: opens a port with the program's own components, operates
// the meter by key names and typed text, and prints every event live as the
// decode command does, each with the milliseconds since the start.
#include "cli/Commands.h"
#include "cli/EventJson.h"
#include "cli/LinkSession.h"
#include "cli/Options.h"

#include "protocol/KeyTyper.h"
#include "protocol/TComm32QV.h"
#include "serial/TComm32VN.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <deque>
#include <vector>

namespace qv::cli {

namespace {

// The key names and their commands, in the order of the keys' faces;
// REFRESH is INFO then IDENT.
struct KeyName {
    QString name;
    QList<int> commands;
};
const std::vector<KeyName> &keyNames()
{
    static const std::vector<KeyName> names = {
        {"MODE", {kcD}}, {"SET", {kcL}}, {"MEMO", {kcT}}, {"ESC", {kcQ}},
        {"POWER", {kcZ}}, {"UP", {kcR}}, {"DOWN", {kcJ}}, {"MEAS", {kcS}},
        {"ENTER", {kcK}}, {"A", {kcA}}, {"INFO", {kcI}}, {"IDENT", {kcB}},
        {"REFRESH", {kcI, kcB}},
    };
    return names;
}

const KeyName *findKey(const QString &name)
{
    for (const KeyName &key : keyNames()) {
        if (key.name == name)
            return &key;
    }
    return nullptr;
}

const QStringList kEventNames = {
    "OnCOMStatus", "OnRecFrame", "OnReceiveInfo", "OnReceiveInfoMeter", "OnReceiveMeas",
    "OnReceiveText", "OnReceiveMemo", "OnProgressMemo", "OnStartMeas", "OnStopMeas",
    "OnMeterON", "OnMeterOFF",
};

volatile std::sig_atomic_t g_stopSignal = 0;
void onStopSignal(int) { g_stopSignal = 1; }

} // namespace

CommandInfo monitorInfo()
{
    QStringList keys;
    for (const KeyName &key : keyNames())
        keys << key.name;
    return commandInfo(
        QStringLiteral("monitor"), QString(),
        QStringLiteral("Opens a port with the program's own components, operates the meter and prints every\n"
                       "event live, one JSON object a line, each with t_ms (milliseconds since the start)."),
        {
            {"--port", "PATH", "the port the meter is on (required; qv7xx-cli ports lists them)"},
            {"--baud", "N", "the line rate in bit/s (default 9600)"},
            {"--send", "KEYS", "meter keys to press, separated by commas, each after the answer to the one before"},
            {"--type", "TEXT", "text to type into the meter's editor after the keys"},
            {"--seconds", "S", "end after S seconds (default: at Ctrl+C or --until)"},
            {"--until", "EVENT", "end once this event has been printed"},
        },
        QStringLiteral("KEYS: %1 (REFRESH is INFO then IDENT).\n"
                       "EVENT: %2.\n"
                       "Exit status: 0, 2 on bad arguments or a port that cannot be opened, 3 when the\n"
                       "event of --until never came.")
            .arg(keys.join(QLatin1Char(' ')), kEventNames.join(QLatin1Char(' '))));
}

int runMonitor(const QStringList &args)
{
    ArgumentReader opts(monitorInfo(), args);
    if (opts.askedForInfo())
        return opts.printInfo();
    const QString port = opts.text("--port");
    const int baud = int(opts.integer("--baud", 9600, 1, 1000000000));
    const QString send = opts.text("--send");
    const QString text = opts.text("--type");
    const double seconds = opts.real("--seconds", -1, 0, 1e9);
    const QString until = opts.text("--until");
    opts.noPositionals();
    if (opts.ok() && port.isEmpty())
        opts.setError(QStringLiteral("--port is required"));
    TBaudRate rate = br009600;
    if (opts.ok() && !baudRateFromValue(uint32_t(baud), rate))
        opts.setError(QStringLiteral("%1 bit/s is not a rate of the serial line").arg(baud));
    std::deque<int> keys;
    for (const QString &name : send.split(',', Qt::SkipEmptyParts)) {
        const KeyName *key = findKey(name.trimmed().toUpper());
        if (!key) {
            opts.setError(QStringLiteral("unknown key '%1'").arg(name.trimmed()));
            break;
        }
        keys.insert(keys.end(), key->commands.begin(), key->commands.end());
    }
    if (!until.isEmpty() && !kEventNames.contains(until))
        opts.setError(QStringLiteral("unknown event '%1'").arg(until));
    if (!opts.ok())
        return opts.fail();

    QElapsedTimer started;
    started.start();
    MeterPort link(port, rate);
    TComm32QV &comm = link.comm();
    if (const QString error = link.openError(); !error.isEmpty())
        return failWith(error);

    bool reached = false;
    EventJson printer(
        comm,
        [&](const QByteArray &line) {
            std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
            std::fputc('\n', stdout);
            std::fflush(stdout);
            if (!until.isEmpty() && !reached &&
                line.startsWith("{\"event\":\"" + until.toLatin1() + '"')) {
                reached = true;
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            }
        },
        [&] { return started.elapsed(); });

    // Keys go one at a time, each after the meter's answer to the previous
    // one (or its response timeout); the text is typed after them.
    KeyTyper typer(comm, qtTimers(), systemClock());
    for (int key : keys)
        typer.pressKey(key);
    for (QChar ch : text) {
        if (!typer.typeChar(ch))
            std::fprintf(stderr, "qv7xx-cli: '%s' is not in the meter's character tables; skipped\n",
                         QString(ch).toUtf8().constData());
    }

    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
    QTimer signalWatch;
    QObject::connect(&signalWatch, &QTimer::timeout, [] {
        if (g_stopSignal)
            QCoreApplication::quit();
    });
    signalWatch.start(50);
    if (seconds >= 0)
        QTimer::singleShot(int(seconds * 1000), qApp, &QCoreApplication::quit);

    comm.ReportStatus(); // the "Connected" of the open port, with its time
    QCoreApplication::exec();
    typer.clear();
    comm.OnCOMStatus = nullptr; // nothing is printed after the end
    comm.Close();
    return until.isEmpty() || reached ? 0 : 3;
}

} // namespace qv::cli
