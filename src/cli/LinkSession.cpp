#include "cli/LinkSession.h"

#include "cli/Options.h"
#include "serial/Clock.h"
#include "serial/Timer.h"
#include "serial/VirtualPort.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>

#include <algorithm>
#include <csignal>

namespace qv::cli {

namespace {
volatile std::sig_atomic_t g_signal = 0;
void onStopSignal(int signal) { g_signal = signal; }
} // namespace

PortsWith::PortsWith(const QString &path) : m_path(path)
{
    systemPortSource().onChanged = [this] { changed(); };
    if (m_path.isEmpty())
        return;
    m_watcher.addPath(QFileInfo(m_path).absolutePath());
    QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged, [this] { changed(); });
}

PortsWith::~PortsWith() { systemPortSource().onChanged = nullptr; }

bool PortsWith::scan(QStringList &names)
{
    systemPortSource().scan(names);
    if (m_path.isEmpty() || names.contains(m_path))
        return true;
    const VirtualPortState state = virtualPortState(m_path);
    if (state == VirtualPortState::Live || (state == VirtualPortState::NotVirtual && QFileInfo::exists(m_path)))
        names << m_path;
    return true;
}

void PortsWith::changed()
{
    if (onChanged)
        onChanged();
}

MeterPort::MeterPort(const QString &port, TBaudRate rate)
    : m_port(port), m_ports(port), m_comm(1, SerialPlatform{&systemClock(), &qtTimers(), &m_ports})
{
    m_comm.setBaudRate(rate);
    m_comm.setCOMPort(port);
}

QString MeterPort::openError() const
{
    if (m_comm.IsOpen())
        return QString();
    const QString hint = m_comm.LastErrorHint();
    return QStringLiteral("%1: %2%3").arg(m_port, statusText(m_comm.LastStatus(), 1),
                                          hint.isEmpty() ? QString() : " (" + hint + ")");
}

std::vector<OptionInfo> linkOptions()
{
    return {
        {"--port", "PATH", "the port the meter is on (qv7xx-cli ports lists them)"},
        {"--find", "", "use the first meter the search finds on any port, at the rate it answered"},
        {"--baud", "N", "the line rate in bit/s with --port: 1200, 2400, 4800 or 9600 (default 9600)"},
    };
}

void readLinkChoice(ArgumentReader &opts, LinkChoice &choice)
{
    choice.port = opts.text("--port");
    choice.find = opts.flag("--find");
    const int baud = int(opts.integer("--baud", 9600, 1, 1000000000));
    if (!opts.ok())
        return;
    if (choice.find == !choice.port.isEmpty())
        opts.setError(QStringLiteral("give either --port PATH or --find"));
    else if (choice.find && opts.has("--baud"))
        opts.setError(QStringLiteral("--baud goes with --port: --find uses the rate the meter answered at"));
    else if (!baudRateFromValue(uint32_t(baud), choice.rate) ||
             std::find(MeterSearch::RateSteps.begin(), MeterSearch::RateSteps.end(), choice.rate) ==
                 MeterSearch::RateSteps.end())
        opts.setError(QStringLiteral("%1 bit/s is not a rate of the meter (1200, 2400, 4800, 9600)").arg(baud));
}

std::vector<MeterSearch::Result> SearchMeters(double seconds, bool firstOnly)
{
    QStringList ports;
    systemPortSource().scan(ports);
    MeterSearch search(1, ports);
    QEventLoop loop;
    search.OnFinished = [&](MeterSearch::Outcome) { loop.quit(); };
    if (firstOnly)
        search.OnMeterFound = [&](const MeterSearch::Result &) { QTimer::singleShot(0, &loop, &QEventLoop::quit); };
    StopSignals stopSignals;
    QTimer stopWatch;
    QObject::connect(&stopWatch, &QTimer::timeout, &loop, [&] {
        if (stopSignals.caught())
            loop.quit();
    });
    stopWatch.start(50);
    if (seconds >= 0)
        QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    search.Start();
    if (!search.Finished() && search.PortCount() > 0)
        loop.exec();
    std::vector<MeterSearch::Result> found = search.Results();
    search.Stop();
    return found;
}

bool ResolveLink(LinkChoice &choice)
{
    if (!choice.find)
        return true;
    const std::vector<MeterSearch::Result> found = SearchMeters(-1, true);
    if (found.empty()) {
        failWith(QStringLiteral("no meter answered on any port"));
        return false;
    }
    choice.port = found.front().port;
    choice.rate = found.front().rate;
    return true;
}

int RateValue(TBaudRate rate)
{
    return int(BaudRateValues[rate]);
}

StopSignals::StopSignals()
{
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
    QObject::connect(&m_watch, &QTimer::timeout, [] {
        if (g_signal)
            QCoreApplication::quit();
    });
    m_watch.start(50);
}

StopSignals::~StopSignals()
{
    m_watch.stop();
}

int StopSignals::caught() const
{
    return g_signal;
}

QString StopSignals::caughtName() const
{
    return g_signal == SIGINT ? QStringLiteral("SIGINT") : g_signal == SIGTERM ? QStringLiteral("SIGTERM") : QString();
}

} // namespace qv::cli
