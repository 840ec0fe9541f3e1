// qv7xx-sim: a QV-700 or K-700 meter on a pseudo-terminal (or a given tty).
// The first line on standard output is the path the program opens.
#include "engine/engine.h"
#include "engine/pty.h"

#include "cmdline/CommandLine.h"
#include "serial/PortSource.h"
#include "serial/VirtualPort.h"

#include <QFile>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

struct Options {
    std::string portDir;
    std::string name = "ttyQV0";
    std::string device;
    qvsim::MeterConfig meter;
    qvsim::ServeOptions serve;
};

std::string local(const QString &text) { return QFile::encodeName(text).toStdString(); }

// A time option in seconds (fractions allowed), as milliseconds; at least 1.
uint32_t milliseconds(qv::ArgumentReader &r, const QString &name)
{
    return uint32_t(std::max(1.0, r.real(name, 0, 0, 4e6) * 1000));
}

// One row per option: its help line and how it is read.
const std::vector<qv::OptionRow<Options>> &optionTable()
{
    using R = qv::ArgumentReader;
    static const std::vector<qv::OptionRow<Options>> rows = {
        {{"--port-dir", "DIR", "publish the port in DIR instead of the virtual-port folder"},
         [](R &r, const QString &n, Options &o) { o.portDir = local(r.text(n)); }},
        {{"--name", "NAME", "the port's name in that folder (default ttyQV0)"},
         [](R &r, const QString &n, Options &o) { o.name = local(r.text(n)); }},
        {{"--device", "PATH", "serve on this tty (a serial port, a null-modem pair) instead of a new pseudo-terminal"},
         [](R &r, const QString &n, Options &o) { o.device = local(r.text(n)); }},
        {{"--model", "qv700|k700", "the radiometer-photometer QV-700 (default) or the luxmeter K-700"},
         [](R &r, const QString &n, Options &o) {
             o.meter.model = r.choice(n, {"qv700", "k700"}, 0) == 1 ? qvsim::Model::K700 : qvsim::Model::QV700;
         }},
        {{"--probe", "CODE|none", "the probe plugged in, by its code 0-255 (default: the model's own); none: no probe"},
         [](R &r, const QString &n, Options &o) {
             if (r.text(n) == QLatin1String("none"))
                 o.meter.noProbe = true;
             else
                 o.meter.probeCode = int(r.integer(n, -1, 0, 255));
         }},
        {{"--luminance", "", "the probe can measure luminance (with its three attachments)"},
         [](R &, const QString &, Options &o) { o.meter.luminance = true; }},
        {{"--baud", "RATE", "the meter's line rate: 1200, 2400, 4800 or 9600 bit/s (default 9600)"},
         [](R &r, const QString &n, Options &o) {
             const int i = r.choice(n, {"1200", "2400", "4800", "9600"}, 3);
             o.meter.baudIndex = uint8_t(qvsim::Baud1200 + i);
         }},
        {{"--cells", "N", "memory cells filled with earlier measurements, 0-512 (default 0)"},
         [](R &r, const QString &n, Options &o) { o.meter.cells = int(r.integer(n, 0, 0, 512)); }},
        {{"--ext-memory", "", "the meter has the 511-cell memory module"},
         [](R &, const QString &, Options &o) { o.meter.externalMemory = true; }},
        {{"--seed", "N", "seed of the simulated readings and of every fault (default 1)"},
         [](R &r, const QString &n, Options &o) {
             o.meter.seed = uint32_t(r.integer(n, 1, 0, 0xFFFFFFFFLL));
             o.serve.seed = o.meter.seed;
         }},
        {{"--fast", "", "send every answer at once instead of at the line rate"},
         [](R &, const QString &, Options &o) { o.serve.fast = true; }},
        {{"--noise", "P", "chance, 0-1, of one flipped bit in each byte sent (default 0)"},
         [](R &r, const QString &n, Options &o) { o.serve.noise = r.real(n, 0, 0, 1); }},
        {{"--drop", "P", "chance, 0-1, of each byte sent being lost (default 0)"},
         [](R &r, const QString &n, Options &o) { o.serve.drop = r.real(n, 0, 0, 1); }},
        {{"--faults-for", "S", "the noise and the drops last only S seconds after the start"},
         [](R &r, const QString &n, Options &o) { o.serve.faultsForMs = milliseconds(r, n); }},
        {{"--silent-after", "S", "the meter stops answering S seconds after the start"},
         [](R &r, const QString &n, Options &o) { o.meter.silentAfterMs = milliseconds(r, n); }},
        {{"--vanish-after", "S", "the port vanishes S seconds after the start, as an unplugged adapter does"},
         [](R &r, const QString &n, Options &o) { o.serve.vanishAfterMs = milliseconds(r, n); }},
        {{"--return-after", "S", "the vanished port comes back under the same name S seconds later"},
         [](R &r, const QString &n, Options &o) { o.serve.returnAfterMs = milliseconds(r, n); }},
        {{"--off-during-memory", "", "the meter switches off in the middle of its first memory block"},
         [](R &, const QString &, Options &o) { o.meter.offDuringMemory = true; }},
        {{"--off", "", "the meter starts switched off"},
         [](R &, const QString &, Options &o) { o.meter.off = true; }},
        {{"--charset", "en|pl", "the character table of the meter's text editor (default en)"},
         [](R &r, const QString &n, Options &o) { o.meter.englishTable = r.choice(n, {"en", "pl"}, 0) == 0; }},
        {{"--continuous", "", "the meter is in continuous measure mode: MEAS starts and stops a run"},
         [](R &, const QString &, Options &o) { o.meter.continuous = true; }},
        {{"--series", "", "continuous measure mode, with a series started once the program first speaks"},
         [](R &, const QString &, Options &o) { o.meter.startSeries = true; }},
        {{"--welcome", "", "start on the welcome screen, shown until 1.5 s after the program first speaks"},
         [](R &, const QString &, Options &o) { o.meter.welcome = true; }},
        {{"--status-after-memory", "", "send the screen's status frame right after the memory block"},
         [](R &, const QString &, Options &o) { o.meter.statusAfterMemory = true; }},
    };
    return rows;
}

qv::CommandInfo commandInfo()
{
    return qv::CommandInfo{
        "qv7xx-sim", QString(), QString(),
        "A QV-700 or K-700 light meter on a pseudo-terminal, for trying the program without one.\n"
        "It publishes the port in the virtual-port folder ($QV7XX_PORT_DIR, else\n"
        "$XDG_RUNTIME_DIR/qv7xx-ports, else /tmp/qv7xx-ports-<uid>), prints its path on the\n"
        "first line and runs until SIGINT, SIGTERM or SIGHUP.",
        qv::infosOf(optionTable()),
        "Exit status: 0 when stopped by a signal, 2 on bad arguments or when the port cannot be\n"
        "created or published."};
}

qvsim::PortServer *g_server = nullptr;

void onSignal(int)
{
    if (g_server)
        g_server->stop();
}

[[noreturn]] void fail(const std::string &message)
{
    std::fprintf(stderr, "qv7xx-sim: %s\n", message.c_str());
    std::exit(2);
}

// Reads the options; exits on --help, --version and bad arguments.
Options parse(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    qv::ArgumentReader reader(commandInfo(), args);
    if (reader.askedForInfo())
        std::exit(reader.printInfo());
    Options o;
    qv::readRows(reader, optionTable(), o);
    reader.noPositionals();
    if (!reader.ok())
        std::exit(reader.fail());
    return o;
}

// The meter's clock starts at the computer's local time (its century only).
qvsim::DateTime localNow()
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    qvsim::DateTime d{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
    if (!d.valid())
        d = qvsim::DateTime{2024, 1, 1, 12, 0, 0};
    return d;
}

} // namespace

int main(int argc, char **argv)
{
    Options o = parse(argc, argv);
    o.meter.clock = localNow();
    qvsim::MeterEngine engine(o.meter);
    qvsim::PortServer server(engine, o.serve);
    qv::VirtualPort link;
    std::string error;
    std::string path;
    const QString folder = o.portDir.empty() ? qv::virtualPortFolder() : QFile::decodeName(o.portDir.c_str());
    if (!o.device.empty()) {
        if (!server.openDevice(o.device, error))
            fail(error);
        path = o.device;
    } else {
        if (!server.openPty(error))
            fail(error);
        QString why;
        if (!link.publish(folder, QFile::decodeName(o.name.c_str()), QFile::decodeName(server.slavePath().c_str()),
                          why))
            fail(QFile::encodeName(why).toStdString() + (why.endsWith(" is in use") ? "; choose another --name" : ""));
        path = QFile::encodeName(link.path()).toStdString();
        // The unplugged adapter's entry goes with it, and comes back with it.
        server.onVanished = [&link] { link.remove(); };
        server.onReturned = [&] {
            QString why;
            if (!link.publish(folder, QFile::decodeName(o.name.c_str()),
                              QFile::decodeName(server.slavePath().c_str()), why))
                std::fprintf(stderr, "qv7xx-sim: %s\n", QFile::encodeName(why).constData());
        };
    }

    g_server = &server;
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
    server.run();
    g_server = nullptr;
    link.remove();
    return 0;
}
