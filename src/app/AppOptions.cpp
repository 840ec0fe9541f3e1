#include "app/AppOptions.h"

#include "serial/VirtualPort.h"

#include <QFileInfo>

namespace qv {

const std::vector<OptionRow<AppOptions>> &appOptionTable()
{
    using R = ArgumentReader;
    static const std::vector<OptionRow<AppOptions>> rows = {
        {{"--port", "PATH", "the meter's serial port (default: the one used last time)"},
         [](R &r, const QString &n, AppOptions &o) { o.port = r.text(n); }},
        {{"--baud", "RATE", "the line rate: 1200, 2400, 4800 or 9600 bit/s (default: the one used last time)"},
         [](R &r, const QString &n, AppOptions &o) {
             const int i = r.choice(n, {"1200", "2400", "4800", "9600"}, -1);
             if (i >= 0)
                 o.baud = TBaudRate(br001200 + i);
         }},
        {{"--simulate", "", "run on a simulated QV-700 (the port ttyQVdemo) whatever port is stored"},
         [](R &, const QString &, AppOptions &o) { o.simulate = true; }},
        {{"--screenshot", "FILE", "save a PNG picture of the window once the meter measures, then quit"},
         [](R &r, const QString &n, AppOptions &o) { o.screenshot = r.text(n); }},
        {{"--after", "MS", "with --screenshot: milliseconds from the measurement to the picture (default 1000)"},
         [](R &r, const QString &n, AppOptions &o) { o.afterMs = int(r.integer(n, o.afterMs, 0, 600000)); }},
        {{"--timeout", "MS", "with --screenshot: milliseconds to wait for the measurement screen (default 20000)"},
         [](R &r, const QString &n, AppOptions &o) { o.timeoutMs = int(r.integer(n, o.timeoutMs, 1, 3600000)); }},
        {{"--autosave", "SECONDS", "start with autosave every SECONDS (1-65535); the simulated meter then measures"},
         [](R &r, const QString &n, AppOptions &o) { o.autosaveSeconds = int(r.integer(n, 0, 1, 65535)); }},
        {{"--view", "meter|history|memory|chart", "the view shown at the start (default meter)"},
         [](R &r, const QString &n, AppOptions &o) { o.view = r.choice(n, {"meter", "history", "memory", "chart"}, 0); }},
        {{"--restore-journal", "", "restore the measurements a run that was not closed properly left, without asking"},
         [](R &, const QString &, AppOptions &o) { o.restoreJournal = true; }},
    };
    return rows;
}

CommandInfo appCommandInfo()
{
    return CommandInfo{
        "qv7xx", QString(), QString(),
        "The companion of the QV-7xx light meters: the meter's LCD and keypad, its measurements and\n"
        "memory. Without a port given or stored (or when the stored one is gone) it runs on a\n"
        "simulated meter.",
        infosOf(appOptionTable()),
        "The port and rate are kept in $XDG_CONFIG_HOME/TAMBRIX/QV-7xx.ini, the journal of the\n"
        "history in $XDG_DATA_HOME/TAMBRIX/QV-7xx/journal.qvj.\n"
        "Exit status: 0; 1 on a start-up error or an unwritable picture; 2 on bad arguments;\n"
        "3 when --screenshot saw no measurement screen in time (the window is saved as it was)."};
}

bool parseAppOptions(const QStringList &arguments, AppOptions &options, QString &error)
{
    ArgumentReader reader(appCommandInfo(), arguments.mid(1));
    options = AppOptions{};
    readRows(reader, appOptionTable(), options);
    reader.noPositionals();
    error = reader.error();
    return reader.ok();
}

int answerBeforeStart(const QStringList &arguments)
{
    QStringList ours;
    for (const QString &a : arguments.mid(1)) {
        const bool qtOption =
            a.size() > 1 && a.at(0) == QLatin1Char('-') && a.at(1).isLetter() && a != QLatin1String("-h");
        if (!qtOption)
            ours << a;
    }
    ArgumentReader reader(appCommandInfo(), ours);
    if (reader.askedForInfo())
        return reader.printInfo();
    AppOptions options;
    readRows(reader, appOptionTable(), options);
    if (ours.size() == arguments.size() - 1)
        reader.noPositionals(); // else one may be the value of a Qt option
    return reader.ok() ? -1 : reader.fail();
}

bool shouldSimulate(const AppOptions &options, const LinkSettings &stored, bool storedRead,
                    const std::function<bool(const QString &)> &portExists)
{
    if (options.simulate)
        return true;
    if (!options.port.isEmpty())
        return false;
    return !storedRead || stored.port.isEmpty() || !portExists(stored.port);
}

bool portDeviceExists(const QString &name)
{
    const QString path = name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
    switch (virtualPortState(path)) {
    case VirtualPortState::Live: return true;
    case VirtualPortState::Gone: return false;
    case VirtualPortState::NotVirtual: break;
    }
    return QFileInfo::exists(path);
}

} // namespace qv
