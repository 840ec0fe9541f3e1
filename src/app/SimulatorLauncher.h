// A simulated meter inside the program, for trying it without one: the
// meter simulator's engine served on a new pseudo-terminal by its own thread
// and published in the virtual-port folder, so that the port list shows it.
// Header-only: only the program's entry and the tests link the simulator.
#pragma once

#include "engine/engine.h"
#include "engine/pty.h"
#include "serial/PortSource.h"
#include "serial/VirtualPort.h"

#include <QFile>
#include <QString>

#include <ctime>
#include <memory>
#include <string>
#include <thread>

namespace qv {

class SimulatorLauncher {
public:
    // Memory cells the simulated meter starts with.
    static constexpr int PrefilledCells = 24;
    // Names tried in turn: another program's simulator may hold the first.
    static constexpr int NameTries = 10;

    SimulatorLauncher() = default;
    ~SimulatorLauncher() { stop(); }
    SimulatorLauncher(const SimulatorLauncher &) = delete;
    SimulatorLauncher &operator=(const SimulatorLauncher &) = delete;

    // Starts serving; false with a reason in `error`.
    inline bool start(QString &error);
    inline void stop();
    bool running() const { return m_thread.joinable(); }
    // The port name the program opens (the published link).
    QString portName() const { return m_port; }
    // The meter starts a continuous series once the program speaks to it.
    bool startSeries = false;

    // The meter's clock starts at the computer's local time.
    static qvsim::DateTime localNow()
    {
        const std::time_t t = std::time(nullptr);
        std::tm tm{};
        localtime_r(&t, &tm);
        qvsim::DateTime d{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
        return d.valid() ? d : qvsim::DateTime{2024, 1, 1, 12, 0, 0};
    }

private:
    std::unique_ptr<qvsim::MeterEngine> m_engine;
    std::unique_ptr<qvsim::PortServer> m_server;
    std::unique_ptr<VirtualPort> m_link;
    std::thread m_thread;
    QString m_port;
};

inline bool SimulatorLauncher::start(QString &error)
{
    stop();
    qvsim::MeterConfig config;
    config.cells = PrefilledCells;
    config.clock = localNow();
    config.seed = uint32_t(std::time(nullptr));
    config.startSeries = startSeries;
    m_engine = std::make_unique<qvsim::MeterEngine>(config);
    m_server = std::make_unique<qvsim::PortServer>(*m_engine, qvsim::ServeOptions{});
    std::string why;
    if (!m_server->openPty(why)) {
        error = QString::fromStdString(why);
        return false;
    }
    m_link = std::make_unique<VirtualPort>();
    const QString target = QFile::decodeName(m_server->slavePath().c_str());
    bool published = false;
    for (int i = 0; i < NameTries && !published; ++i) {
        const QString name = QStringLiteral("ttyQVdemo") + (i ? QString::number(i) : QString());
        published = m_link->publish(virtualPortFolder(), name, target, error);
    }
    if (!published)
        return false;
    m_port = m_link->path();
    m_thread = std::thread([server = m_server.get()] { server->run(); });
    return true;
}

inline void SimulatorLauncher::stop()
{
    if (m_thread.joinable()) {
        m_server->stop();
        m_thread.join();
    }
    if (m_link)
        m_link->remove();
    m_link.reset();
    m_server.reset();
    m_engine.reset();
    m_port.clear();
}

} // namespace qv
