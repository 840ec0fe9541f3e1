// What the commands that talk to a meter share: the port given by --port or
// found by --find at the rate of --baud (or the rate it answered at), the
// meter search over every port of the system, and the end by SIGINT or
// SIGTERM.
#pragma once

#include "cmdline/CommandLine.h"
#include "meter/MeterSearch.h"
#include "serial/PortSource.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <vector>

namespace qv::cli {

// The system's ports plus the one asked for, wherever it is (a port the
// system does not list can still be opened by its path), while it is there:
// an adapter pulled out leaves the list, and the link is taken up again when
// it comes back.
class PortsWith : public PortSource {
public:
    explicit PortsWith(const QString &path);
    ~PortsWith() override;
    bool scan(QStringList &names) override;

private:
    void changed();

    QString m_path;
    QFileSystemWatcher m_watcher;
};

// A protocol component on one port (the system's list plus that port),
// opened at once at the given rate.
class MeterPort {
public:
    MeterPort(const QString &port, TBaudRate rate);
    TComm32QV &comm() { return m_comm; }
    // Why the port is not open ("PATH: Busy (hint)"), or empty when it is.
    QString openError() const;

private:
    QString m_port;
    PortsWith m_ports;   // outlives the component that reads it
    TComm32QV m_comm;
};

struct LinkChoice {
    QString port;
    TBaudRate rate = br009600;
    bool find = false;
};

// --port PATH, --find, --baud N.
std::vector<OptionInfo> linkOptions();
// Reads them; errors go to `opts`.
void readLinkChoice(ArgumentReader &opts, LinkChoice &choice);

// Runs the meter search over every port of the system until it finishes by
// itself, `seconds` pass (< 0: no limit) or, with `firstOnly`, a meter
// answers. The meters found, sorted by port.
std::vector<MeterSearch::Result> SearchMeters(double seconds, bool firstOnly);

// For --find: the port and rate of the first meter found; false (with a
// message) when none answered.
bool ResolveLink(LinkChoice &choice);

// The rate in bit/s.
int RateValue(TBaudRate rate);

// SIGINT and SIGTERM end the event loop (checked every 50 ms, so a row being
// written is always finished); the signal caught, or 0.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    int caught() const;
    QString caughtName() const;
    // The loop has ended: later loops (the last words to the meter) run on.
    void disarm() { m_watch.stop(); }

private:
    QTimer m_watch;
};

} // namespace qv::cli
