// qv7xx-cli find: the program's meter search over every port of the system
// at the four rates, then a word with each meter found: its model, firmware
// and probe.
#include "cli/Commands.h"
#include "cli/LinkSession.h"
#include "cli/Options.h"

#include "meter/MeterUpkeep.h"
#include "protocol/Probes.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace qv::cli {

namespace {

constexpr int IdentifyMs = 3000;

struct MeterFound {
    MeterSearch::Result at;
    bool identified = false;
    QString model, firmware, probe;
};

// Asks the meter on a port for its status and identification.
MeterFound identify(const MeterSearch::Result &at)
{
    MeterFound meter;
    meter.at = at;
    MeterPort port(at.port, at.rate);
    TComm32QV &comm = port.comm();
    MeterUpkeep upkeep(comm, systemClock(), qtTimers());
    bool info = false;
    QEventLoop loop;
    upkeep.OnReceiveInfo = [&](const TDataInfoQV &) {
        info = true;
        if (upkeep.identified())
            loop.quit();
    };
    upkeep.OnReceiveInfoMeter = [&](const TInfoMeterQV &) {
        if (info)
            loop.quit();
    };
    QTimer::singleShot(IdentifyMs, &loop, &QEventLoop::quit);
    if (comm.IsOpen()) {
        upkeep.refresh();
        loop.exec();
    }
    meter.identified = info && upkeep.identified();
    if (info)
        meter.model = upkeep.info().LuxProbe ? QStringLiteral("K-700") : QStringLiteral("QV-700");
    if (upkeep.identified()) {
        meter.firmware = upkeep.ident().FirmwareVersion.trimmed();
        meter.probe = ProbeModelName(1, upkeep.info().ProbePresent, upkeep.ident().ProbeCode);
    }
    comm.Close();
    return meter;
}

QByteArray textLine(const MeterFound &m)
{
    const auto orUnknown = [](const QString &s) { return s.isEmpty() ? QStringLiteral("?") : s; };
    return QStringLiteral("%1\t%2\t%3\t%4\t%5")
        .arg(m.at.port, QString::number(RateValue(m.at.rate)), orUnknown(m.model), orUnknown(m.firmware),
             orUnknown(m.probe))
        .toLocal8Bit();
}

QByteArray jsonLine(const MeterFound &m)
{
    QJsonObject o;
    o.insert("port", m.at.port);
    o.insert("baud", RateValue(m.at.rate));
    const auto orNull = [](const QString &s) { return s.isEmpty() ? QJsonValue() : QJsonValue(s); };
    o.insert("model", orNull(m.model));
    o.insert("firmware", orNull(m.firmware));
    // The meter's frames carry no serial number.
    o.insert("serial", QJsonValue());
    o.insert("probe", orNull(m.probe));
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

} // namespace

CommandInfo findInfo()
{
    return commandInfo(
        QStringLiteral("find"), QString(),
        QStringLiteral("Looks for meters on every serial port at 9600, 4800, 2400 and 1200 bit/s, as the\n"
                       "program's Search does, and prints one line per meter found: port, rate, model,\n"
                       "firmware version and probe, separated by TAB (or one JSON object a line)."),
        {
            {"--seconds", "S", "give up after S seconds (default: once every port answered or tried every rate)"},
            {"--json", "", "one JSON object a line: port, baud, model, firmware, serial, probe"},
        },
        QStringLiteral("The meter's frames carry no serial number: \"serial\" is always null, and the firmware\n"
                       "version tells meters apart as far as the meter can.\n"
                       "Exit status: 0 when a meter answered, 2 on bad arguments, 3 when none answered."));
}

int runFind(const QStringList &args)
{
    ArgumentReader opts(findInfo(), args);
    if (opts.askedForInfo())
        return opts.printInfo();
    const double seconds = opts.real("--seconds", -1, 0, 1e9);
    const bool json = opts.flag("--json");
    opts.noPositionals();
    if (!opts.ok())
        return opts.fail();

    const std::vector<MeterSearch::Result> found = SearchMeters(seconds, false);
    if (found.empty()) {
        std::fprintf(stderr, "qv7xx-cli: no meter answered\n");
        return 3;
    }
    for (const MeterSearch::Result &at : found) {
        const MeterFound meter = identify(at);
        const QByteArray line = json ? jsonLine(meter) : textLine(meter);
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
    return 0;
}

} // namespace qv::cli
