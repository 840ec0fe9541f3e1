#include "serial/VirtualPort.h"

#include "serial/PortSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv {

namespace {

// A publisher may meet a lock that a scan holds for a moment while it
// removes a dead entry: it asks again a few times before calling the name taken.
constexpr int LockTries = 5;
constexpr useconds_t LockRetryUs = 10000;

QByteArray native(const QString &path) { return QFile::encodeName(path); }
QString lastSystemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

QString lockPathOf(const QString &folder, const QString &name)
{
    return folder + QStringLiteral("/.") + name + QStringLiteral(".lock");
}

bool isSymLink(const QByteArray &path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

enum class LockProbe { Missing, Held, Free };

// Whether someone holds the lock file at `lockPath`. A shared lock is
// enough to tell: it conflicts only with a publisher's exclusive one.
LockProbe probeLock(const QString &lockPath)
{
    const int fd = ::open(native(lockPath).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return errno == ENOENT ? LockProbe::Missing : LockProbe::Held; // unreadable: not ours to judge
    const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held ? LockProbe::Held : LockProbe::Free;
}

// Takes the exclusive lock of `lockPath`, creating the file. Returns the
// descriptor, or -1 with errno (EWOULDBLOCK: another process holds it). The
// file locked must still be the one at `lockPath`: a scan may have removed
// it (with a dead entry) between our open and our lock.
int takeLock(const QString &lockPath, int tries)
{
    const QByteArray path = native(lockPath);
    for (int attempt = 0;; ++attempt) {
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600);
        if (fd < 0)
            return -1;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int why = errno;
            ::close(fd);
            if (why != EWOULDBLOCK || attempt + 1 >= tries) {
                errno = why;
                return -1;
            }
            ::usleep(LockRetryUs);
            continue;
        }
        struct stat held, named;
        if (::fstat(fd, &held) == 0 && ::stat(path.constData(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino)
            return fd;
        ::close(fd); // removed under us: lock the new file
    }
}

// Creates the missing folders of `folder`, private to the user.
bool makeFolders(const QString &folder, QString &error)
{
    const QByteArray path = native(folder);
    for (int pos = 1; pos <= path.size(); ++pos) {
        if (pos != path.size() && path.at(pos) != '/')
            continue;
        const QByteArray part = path.left(pos);
        if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST) {
            error = QStringLiteral("cannot create %1: %2").arg(QFile::decodeName(part), lastSystemError());
            return false;
        }
    }
    return true;
}

// Removes a dead entry and its lock file, holding the lock meanwhile so that
// a publisher taking the name waits. False when a publisher holds it now.
bool removeDeadEntry(const QString &folder, const QString &name)
{
    const QString lockPath = lockPathOf(folder, name);
    const int fd = takeLock(lockPath, 1);
    if (fd < 0)
        return false;
    ::unlink(native(folder + QLatin1Char('/') + name).constData());
    ::unlink(native(lockPath).constData());
    ::close(fd);
    return true;
}

bool inVirtualPortFolder(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(virtualPortFolder()).canonicalFilePath();
}

} // namespace

bool VirtualPort::publish(const QString &folder, const QString &name, const QString &target, QString &error)
{
    remove();
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.startsWith(QLatin1Char('.'))) {
        error = QStringLiteral("the port name must be a plain file name");
        return false;
    }
    if (!makeFolders(folder, error))
        return false;
    const QString path = folder + QLatin1Char('/') + name;
    const QString lockPath = lockPathOf(folder, name);
    const int fd = takeLock(lockPath, LockTries);
    if (fd < 0) {
        error = errno == EWOULDBLOCK ? QStringLiteral("%1 is in use").arg(path)
                                     : QStringLiteral("cannot lock %1: %2").arg(lockPath, lastSystemError());
        return false;
    }
    // Holding the lock, whatever is at `path` is a dead publisher's. Link
    // under a temporary name, then rename: the program never sees half a port.
    const QByteArray temp = native(folder + QStringLiteral("/.") + name + QLatin1Char('.') +
                                   QString::number(::getpid()) + QStringLiteral(".tmp"));
    ::unlink(temp.constData());
    if (::symlink(native(target).constData(), temp.constData()) != 0 ||
        ::rename(temp.constData(), native(path).constData()) != 0) {
        error = QStringLiteral("cannot publish %1: %2").arg(path, lastSystemError());
        ::unlink(temp.constData());
        ::unlink(native(lockPath).constData());
        ::close(fd);
        return false;
    }
    m_path = path;
    m_lockFd = fd;
    return true;
}

void VirtualPort::remove()
{
    if (m_lockFd < 0)
        return;
    // The entry first: while it is there, its lock file must be too.
    const QFileInfo entry(m_path);
    ::unlink(native(m_path).constData());
    ::unlink(native(lockPathOf(entry.path(), entry.fileName())).constData());
    ::close(m_lockFd);
    m_lockFd = -1;
    m_path.clear();
}

VirtualPortState virtualPortState(const QString &path)
{
    const QFileInfo entry(path);
    switch (probeLock(lockPathOf(entry.path(), entry.fileName()))) {
    case LockProbe::Held:
        return VirtualPortState::Live;
    case LockProbe::Free:
        return VirtualPortState::Gone;
    case LockProbe::Missing:
        break;
    }
    return inVirtualPortFolder(entry.path()) ? VirtualPortState::Gone : VirtualPortState::NotVirtual;
}

QStringList liveVirtualPorts(const QString &folder)
{
    QStringList live;
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names) {
        const QString path = dir.absoluteFilePath(name);
        if (probeLock(lockPathOf(dir.absolutePath(), name)) == LockProbe::Held) {
            live.append(path);
            continue;
        }
        // Only links are ours to remove; anything else is just not a port.
        if (isSymLink(native(path)) && !removeDeadEntry(dir.absolutePath(), name))
            live.append(path); // published a moment ago
    }
    return live;
}

} // namespace qv
