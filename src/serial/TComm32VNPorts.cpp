// TComm32VN: the list of serial ports, the COMPort setter, rescans on device
// changes and the one-time warning about two ports with the same name.
#include "serial/LinkTexts.h"
#include "serial/PortOrder.h"
#include "serial/TComm32VNPrivate.h"

#include <algorithm>
#include <cstdio>

namespace qv {

namespace {

std::function<void(const QString &, int)> &warningHandler()
{
    static std::function<void(const QString &, int)> handler;
    return handler;
}

void showWarning(const QString &text, int flags)
{
    if (warningHandler()) {
        warningHandler()(text, flags);
        return;
    }
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
}

constexpr int WarningBoxFlags = 0x30; // exclamation icon, OK button

} // namespace

void TComm32VN::setWarningHandler(std::function<void(const QString &, int)> handler)
{
    warningHandler() = std::move(handler);
}

const QStringList &TComm32VN::PortList() const { return d->portList; }
int TComm32VN::PortIndex() const { return d->portIndex; }

std::vector<TComm32VN::Impl *> &TComm32VN::Impl::liveComponents()
{
    static std::vector<Impl *> live;
    return live;
}

// A port source has one change handler; it passes every change on to all
// components reading that source, as each would hear of a device change.
// It is set once per source: replacing it could destroy the handler while it
// runs (a component created from a rescan's event).
void TComm32VN::Impl::registerForDeviceChanges()
{
    liveComponents().push_back(this);
    PortSource *source = ports;
    if (source->onChanged)
        return;
    source->onChanged = [source] {
        const std::vector<Impl *> snapshot = liveComponents();
        for (Impl *component : snapshot) {
            const auto &live = liveComponents();
            // A rescan may have destroyed components further on the list.
            if (std::find(live.begin(), live.end(), component) != live.end()
                && component->ports == source)
                component->requestScan();
        }
    };
}

void TComm32VN::Impl::unregister()
{
    auto &live = liveComponents();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

// One scan at a time in the whole program: a scan requested while one runs
// (from an event handler of that scan) is queued to run afterwards.
void TComm32VN::Impl::requestScan()
{
    PortScanState &state = portScanState();
    if (state.scanning) {
        post([this] { q->RescanPorts(); });
        return;
    }
    state.scanning = true;
    q->RescanPorts();
    state.scanning = false;
}

void TComm32VN::RescanPorts()
{
    PortScanState &state = portScanState();
    QStringList names;
    QStringList found;
    if (d->ports->scan(names)) {
        state.duplicates.clear();
        QSet<QString> seen;
        for (const QString &name : names) {
            if (name.isEmpty())
                continue;
            if (seen.contains(name))
                state.duplicates.insert(name);
            seen.insert(name);
            found.append(name);
        }
    }
    d->checkDuplicateWarning();
    found = naturalPortOrder(found);

    QStringList current = d->portList;
    if (!current.isEmpty() && isNoneName(current.first()))
        current.removeFirst();
    bool changed = current.size() != found.size();
    for (int i = int(found.size()) - 1; !changed && i >= 0; --i)
        changed = current.at(i) != found.at(i);
    if (changed)
        d->portList = found;

    for (auto it = state.warned.begin(); it != state.warned.end();) {
        if (d->portList.contains(*it))
            ++it;
        else
            it = state.warned.erase(it);
    }
    if (d->portList.isEmpty() || !isNoneName(d->portList.first()))
        d->portList.prepend(noneName(m_language));

    if (changed) {
        setCOMPort(d->comPort);
        if (OnPortListChange)
            OnPortListChange();
    } else if (d->portLost && d->portIndexOf(d->comPort) > 0) {
        d->reopenReturned(); // back in the list, but its first open failed
    }
}

void TComm32VN::setCOMPort(const QString &value)
{
    QString name = value;
    if (name == QLatin1String("0") || isNoneName(name))
        name = noneName(m_language);
    int index = d->portIndexOf(name);
    d->portIndex = index >= 1 ? index : 0;
    if (index >= 0)
        name = d->portList.at(index);

    const QString previous = d->comPort;
    d->comPort = name;
    if (index == 0)
        Open(); // sees PortIndex 0 and closes the port
    if (index != 0 && d->portIndex == 0) {
        d->portLost = true;
        Close();
        ReportStatus(stPortNotFound);
        return;
    }
    // An adapter plugged back in under the name it left with: the link
    // carries on as it was before it went.
    const bool returned = index > 0 && d->portLost && name == previous;
    d->portLost = false;
    if (returned && !IsOpen()) {
        d->reopenReturned();
        return;
    }
    if (name != previous) {
        d->checkDuplicateWarning();
        Close();
        Open();
        if (OnPortChange)
            OnPortChange();
    }
}

int TComm32VN::Impl::portIndexOf(const QString &name) const
{
    for (int i = 0; i < portList.size(); ++i) {
        if (portList.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

// A device that comes back may not open at once: its node can lag behind its
// entry in the list (a pseudo-terminal whose number was just freed, a USB
// adapter's node still being made). It stays the chosen, lost port, and the
// next scan tries again, rather than being forgotten.
void TComm32VN::Impl::reopenReturned()
{
    const QString name = comPort;
    const int index = portIndex;
    if (q->Open() || lastStatus != stPortNotFound)
        return;
    comPort = name;
    portIndex = index;
    portLost = true;
}

void TComm32VN::Impl::checkDuplicateWarning()
{
    PortScanState &state = portScanState();
    if (isNoneName(comPort) || !state.duplicates.contains(comPort) || state.warned.contains(comPort))
        return;
    state.warned.insert(comPort);
    const QString text = duplicatePortWarning(q->Language(), comPort);
    post([text] { showWarning(text, WarningBoxFlags); });
}

} // namespace qv
