// The program's command line: one table of options (appOptionTable) gives
// both --help and the reading; adding an option is adding a row.
#pragma once

#include "app/Settings.h"
#include "cmdline/CommandLine.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace qv {

struct AppOptions {
    QString port;
    std::optional<TBaudRate> baud;
    bool simulate = false;
    QString screenshot;
    int afterMs = 1000;
    int timeoutMs = 20000;
    int autosaveSeconds = 0;     // 0: autosave off
    bool restoreJournal = false; // restore the journal's unsaved rows without asking
    int view = 0;                // the view shown at the start: 0 meter, 1 history, 2 memory, 3 chart
};

const std::vector<OptionRow<AppOptions>> &appOptionTable();
CommandInfo appCommandInfo();

// False with a message when the arguments (the program name first) are wrong.
// --help and --version are not answered here.
bool parseAppOptions(const QStringList &arguments, AppOptions &options, QString &error);

// Before the application object exists (it needs a display): answers --help
// and --version and reports wrong options and values of ours. Returns the
// exit status, or -1 to go on. Qt's own options (one dash: -platform NAME,
// -style NAME, ...) and their values are left for the application to take.
int answerBeforeStart(const QStringList &arguments);

// Whether the program starts its simulated meter: when asked to, or when no
// port is given and none is stored that still exists (a port a simulator
// left behind is gone with it).
bool shouldSimulate(const AppOptions &options, const LinkSettings &stored, bool storedRead,
                    const std::function<bool(const QString &)> &portExists);

// True when a port name names a device that is there now; a virtual port
// only while its publisher runs.
bool portDeviceExists(const QString &name);

} // namespace qv
