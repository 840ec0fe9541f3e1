// Port names in natural numeric order and as the port box shows them, and
// the process-wide bookkeeping of port scans shared by every serial
// component of the program.
#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace qv {

// Sorts names so that numbers inside them compare by value where the names
// share a prefix: COM2 before COM10, /dev/ttyS2 before /dev/ttyS10. Each name
// is padded with "0" before its first digit (at its end when it has none) to
// the length of the longest, then the padded keys are compared without regard
// to letter case.
QStringList naturalPortOrder(const QStringList &names);

// How the port box shows each port: an entry of the virtual-port folder
// `virtualFolder` by its name (ttyQVdemo), anything else as it is (a device
// by its path). Where two would look alike, both are shown as they are.
QStringList portDisplayNames(const QStringList &ports, const QString &virtualFolder);

// Owner-thread state shared by all components.
struct PortScanState {
    QSet<QString> duplicates; // names seen more than once in the last scan
    QSet<QString> warned;     // names already warned about
    bool scanning = false;    // a scan runs: further requests run later
};
PortScanState &portScanState();

} // namespace qv
