// Shared pieces of the fault tests: the simulated meter served on a real
// pseudo-terminal by a thread of the test, and the ports of a folder where a
// simulator publishes (and unpublishes) its port.
#pragma once

#include "engine/engine.h"
#include "engine/pty.h"
#include "integration/PtyHelpers.h"
#include "serial/VirtualPort.h"

#include <QFileSystemWatcher>

#include <thread>

namespace qvtest {

class ServedMeter {
public:
    ServedMeter(const qvsim::MeterConfig &config, const qvsim::ServeOptions &options)
        : meter(config), server(meter, options)
    {
        std::string error;
        if (server.openPty(error))
            m_thread = std::thread([this] { server.run(); });
    }
    ~ServedMeter() { stop(); }
    // After this the meter may be inspected: nothing else runs it.
    void stop()
    {
        server.stop();
        if (m_thread.joinable())
            m_thread.join();
    }
    QString path() const { return QString::fromStdString(server.slavePath()); }

    qvsim::MeterEngine meter;
    qvsim::PortServer server;

private:
    std::thread m_thread;
};

// The live ports published in one folder, with a notice when it changes.
class FolderPorts : public qv::PortSource {
public:
    explicit FolderPorts(const QString &folder) : m_folder(folder)
    {
        m_watcher.addPath(folder);
        QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged, [this] {
            if (onChanged)
                onChanged();
        });
    }
    bool scan(QStringList &names) override
    {
        names = qv::liveVirtualPorts(m_folder);
        return true;
    }

private:
    QString m_folder;
    QFileSystemWatcher m_watcher;
};

} // namespace qvtest
