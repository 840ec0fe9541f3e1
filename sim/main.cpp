// qv7xx-sim: a QV-700 or K-700 meter on a pseudo-terminal (or a given tty).
// The first line on standard output is the path the program opens.
#include "engine/engine.h"
#include "engine/pty.h"

#include "serial/PortSource.h"
#include "serial/VirtualPort.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

const char Usage[] =
    "usage: qv7xx-sim [--port-dir DIR] [--name NAME] [--device PATH] [--model qv700|k700]\n"
    "                 [--probe CODE|none] [--luminance] [--baud 1200|2400|4800|9600] [--cells N]\n"
    "                 [--ext-memory] [--seed N] [--fast] [--noise P] [--off] [--charset en|pl]\n";

struct Options {
    std::string portDir;
    std::string name = "ttyQV0";
    std::string device;
    qvsim::MeterConfig meter;
    qvsim::ServeOptions serve;
};

qvsim::PortServer *g_server = nullptr;

void onSignal(int)
{
    if (g_server)
        g_server->stop();
}

[[noreturn]] void fail(const std::string &message)
{
    std::fprintf(stderr, "qv7xx-sim: %s\n%s", message.c_str(), Usage);
    std::exit(2);
}

long number(const char *text, long lo, long hi, const char *option)
{
    char *end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno || !end || *end || v < lo || v > hi)
        fail(std::string("bad value for ") + option + ": " + text);
    return v;
}

Options parse(int argc, char **argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> const char * {
            if (i + 1 >= argc)
                fail(a + " needs a value");
            return argv[++i];
        };
        if (a == "--port-dir") {
            o.portDir = value();
        } else if (a == "--name") {
            o.name = value();
        } else if (a == "--device") {
            o.device = value();
        } else if (a == "--model") {
            const std::string m = value();
            if (m != "qv700" && m != "k700")
                fail("unknown model " + m);
            o.meter.model = m == "k700" ? qvsim::Model::K700 : qvsim::Model::QV700;
        } else if (a == "--probe") {
            const char *v = value();
            if (std::strcmp(v, "none") == 0)
                o.meter.noProbe = true;
            else
                o.meter.probeCode = int(number(v, 0, 255, "--probe"));
        } else if (a == "--luminance") {
            o.meter.luminance = true;
        } else if (a == "--baud") {
            switch (number(value(), 0, 1000000, "--baud")) {
            case 1200: o.meter.baudIndex = 2; break;
            case 2400: o.meter.baudIndex = 3; break;
            case 4800: o.meter.baudIndex = 4; break;
            case 9600: o.meter.baudIndex = 5; break;
            default: fail("the meter runs at 1200, 2400, 4800 or 9600 bit/s");
            }
        } else if (a == "--cells") {
            o.meter.cells = int(number(value(), 0, 512, "--cells"));
        } else if (a == "--ext-memory") {
            o.meter.externalMemory = true;
        } else if (a == "--seed") {
            o.meter.seed = uint32_t(number(value(), 0, 0xFFFFFFFFL, "--seed"));
            o.serve.seed = o.meter.seed;
        } else if (a == "--fast") {
            o.serve.fast = true;
        } else if (a == "--noise") {
            const char *v = value();
            char *end = nullptr;
            o.serve.noise = std::strtod(v, &end);
            if (!end || *end || o.serve.noise < 0 || o.serve.noise > 1)
                fail(std::string("bad value for --noise: ") + v);
        } else if (a == "--off") {
            o.meter.off = true;
        } else if (a == "--charset") {
            const std::string c = value();
            if (c != "en" && c != "pl")
                fail("unknown character set " + c);
            o.meter.englishTable = c == "en";
        } else if (a == "--help" || a == "-h") {
            std::fputs(Usage, stdout);
            std::exit(0);
        } else {
            fail("unknown option " + a);
        }
    }
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
    if (!o.device.empty()) {
        if (!server.openDevice(o.device, error))
            fail(error);
        path = o.device;
    } else {
        if (!server.openPty(error))
            fail(error);
        const QString folder = o.portDir.empty() ? qv::virtualPortFolder() : QFile::decodeName(o.portDir.c_str());
        QString why;
        if (!link.publish(folder, QFile::decodeName(o.name.c_str()), QFile::decodeName(server.slavePath().c_str()),
                          why))
            fail(QFile::encodeName(why).toStdString() + (why.endsWith(" is in use") ? "; choose another --name" : ""));
        path = QFile::encodeName(link.path()).toStdString();
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
