// Where the list of serial ports comes from. The program reads the system's
// tty devices and the virtual-port folder where the meter simulator publishes
// its ports; tests inject a fake.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace qv {

class PortSource {
public:
    virtual ~PortSource() = default;
    // The port names as the system gives them, in no particular order; a name
    // may appear twice. False when the list cannot be read at all.
    virtual bool scan(QStringList &names) = 0;
    // Raised (on the owner thread) when devices may have come or gone.
    std::function<void()> onChanged;
};

// A fixed list of ports (none by default): for components that never touch
// the system's ttys (the capture decoder, tests, benchmarks).
class FixedPortSource : public PortSource {
public:
    explicit FixedPortSource(QStringList ports = {}) : m_ports(std::move(ports)) {}
    bool scan(QStringList &names) override
    {
        names = m_ports;
        return true;
    }

private:
    QStringList m_ports;
};

// The folder where simulated meters publish their ports: $QV7XX_PORT_DIR,
// else $XDG_RUNTIME_DIR/qv7xx-ports, else /tmp/qv7xx-ports-<uid>.
QString virtualPortFolder();

// Real ttys (/sys/class/tty/*/device as /dev/NAME) plus the live entries of
// the virtual-port folder (see VirtualPort.h); watches /dev, /dev/pts and
// that folder for changes.
// One process-wide instance, created on first use on the owner thread.
PortSource &systemPortSource();

} // namespace qv
