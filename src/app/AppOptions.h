// The program's command line: qv7xx [--port PATH] [--baud RATE] [--simulate]
// (and the hidden --screenshot FILE [--after MS] that grabs the window once
// the meter shows its measurement screen, then quits).
#pragma once

#include "app/Settings.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace qv {

struct AppOptions {
    QString port;
    std::optional<TBaudRate> baud;
    bool simulate = false;
    QString screenshot;
    int afterMs = 1000;
    int timeoutMs = 20000;
};

// False with a message when the arguments (the program name first) are wrong.
bool parseAppOptions(const QStringList &arguments, AppOptions &options, QString &error);

// Whether the program starts its simulated meter: when asked to, or when no
// port is given and none is stored that still exists (a port a simulator
// left behind is gone with it).
bool shouldSimulate(const AppOptions &options, const LinkSettings &stored, bool storedRead,
                    const std::function<bool(const QString &)> &portExists);

// True when a port name names a device that is there now; a virtual port
// only while its publisher runs.
bool portDeviceExists(const QString &name);

} // namespace qv
