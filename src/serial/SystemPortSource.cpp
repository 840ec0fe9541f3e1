// The system's serial ports: ttys that have a device behind them, plus the
// live ports that simulated meters publish in the virtual-port folder.
#include "serial/PortSource.h"
#include "serial/VirtualPort.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace qv {

namespace {

// The 8250 driver registers a fixed number of ttyS ports whether or not a
// UART answers; those without one report the type PORT_UNKNOWN.
bool isPhantomUart(const QString &devicePath)
{
    const int fd = ::open(devicePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false; // cannot tell (no permission, in use): keep it listed
    serial_struct info{};
    const bool phantom = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type == PORT_UNKNOWN;
    ::close(fd);
    return phantom;
}

void addRealTtys(QStringList &names)
{
    const QDir classDir(QStringLiteral("/sys/class/tty"));
    const QStringList entries = classDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    for (const QString &entry : entries) {
        if (!QFileInfo::exists(classDir.filePath(entry + QStringLiteral("/device"))))
            continue; // virtual consoles, ptys and the like
        const QString path = QStringLiteral("/dev/") + entry;
        if (!QFileInfo::exists(path))
            continue;
        if (entry.startsWith(QLatin1String("ttyS")) && isPhantomUart(path))
            continue;
        names.append(path);
    }
}

class SystemPortSource : public PortSource {
public:
    SystemPortSource()
    {
        QDir().mkpath(virtualPortFolder());
        m_watcher.addPath(QStringLiteral("/dev"));
        m_watcher.addPath(virtualPortFolder());
        // A simulator killed outright leaves its entry, but its pseudo-terminal
        // goes from /dev/pts: the list then drops the dead entry.
        m_watcher.addPath(QStringLiteral("/dev/pts"));
        // A device arriving creates several nodes at once: one rescan for all.
        m_settle.setSingleShot(true);
        m_settle.setInterval(100);
        QObject::connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle,
                         [this] { m_settle.start(); });
        QObject::connect(&m_settle, &QTimer::timeout, [this] {
            if (onChanged)
                onChanged();
        });
    }

    bool scan(QStringList &names) override
    {
        names.clear();
        addRealTtys(names);
        // Only ports whose publisher still runs: a dead one's link may point
        // at a pseudo-terminal that now belongs to someone else.
        names.append(liveVirtualPorts(virtualPortFolder()));
        return true;
    }

private:
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
};

} // namespace

QString virtualPortFolder()
{
    const QByteArray custom = qgetenv("QV7XX_PORT_DIR");
    if (!custom.isEmpty())
        return QString::fromLocal8Bit(custom);
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return QString::fromLocal8Bit(runtime) + QStringLiteral("/qv7xx-ports");
    return QStringLiteral("/tmp/qv7xx-ports-%1").arg(::getuid());
}

PortSource &systemPortSource()
{
    // Never destroyed: its watcher must not outlive the application object
    // at process exit.
    static SystemPortSource *source = new SystemPortSource;
    return *source;
}

} // namespace qv
