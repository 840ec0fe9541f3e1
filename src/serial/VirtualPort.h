// Virtual ports: a simulated meter's pseudo-terminal made visible to the
// program as an entry of the virtual-port folder (a symbolic link NAME to the
// pty's slave side). A pty's number is handed to the next terminal that asks
// once its owner is gone, so a link outliving its publisher may point at a
// user's shell. Hence each entry has a lock file beside it (".NAME.lock"),
// flock()ed by the publisher for as long as it serves the port: the lock dies
// with the process however it ends, and an entry counts only while its lock
// is held. Publishing, listing and checking are all here, so that the
// simulator and the program's demo meter follow one rule.
#pragma once

#include <QString>
#include <QStringList>

namespace qv {

// One published entry, owned by the process that serves the port.
class VirtualPort {
public:
    VirtualPort() = default;
    VirtualPort(const VirtualPort &) = delete;
    VirtualPort &operator=(const VirtualPort &) = delete;
    ~VirtualPort() { remove(); }

    // Creates `folder` if needed, takes the entry's lock and links
    // folder/name to `target`. An entry whose publisher is gone is replaced;
    // a live one is not (false, with a one-line reason in `error`).
    bool publish(const QString &folder, const QString &name, const QString &target, QString &error);
    // Removes the entry and its lock file, then releases the lock.
    void remove();
    // The entry's path (empty when nothing is published).
    const QString &path() const { return m_path; }

private:
    QString m_path;
    int m_lockFd = -1;
};

enum class VirtualPortState {
    NotVirtual, // not an entry of a virtual-port folder: an ordinary device
    Live,       // an entry whose publisher holds its lock
    Gone,       // an entry whose publisher is gone (or that has no lock file)
};

// What `path` is. A path counts as an entry when it lies in the
// virtual-port folder or has a lock file beside it.
VirtualPortState virtualPortState(const QString &path);

// The live entries of `folder` (absolute paths, sorted by name). Entries
// whose publisher is gone are removed on the way.
QStringList liveVirtualPorts(const QString &folder);

} // namespace qv
