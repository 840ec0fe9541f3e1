// Ends the program on SIGINT, SIGTERM and SIGHUP the way Quit does: the
// event loop returns and everything is taken down in order (the settings
// stored, the simulated meter's port removed). The handler only writes the
// signal's number to a pipe that the event loop watches. A second signal
// ends the program at once, should the first leave it hanging.
#pragma once

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace qv {

class QuitSignals : public QObject {
    Q_OBJECT
public:
    // `onSignal` runs on the event loop's thread with the signal's number.
    explicit QuitSignals(std::function<void(int)> onSignal, QObject *parent = nullptr);
    // Restores the default handling of the three signals.
    ~QuitSignals() override;

private:
    std::function<void(int)> m_onSignal;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace qv
