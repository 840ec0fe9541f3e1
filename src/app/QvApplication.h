// The application object: an error thrown out of an event handler ends the
// program while it starts; afterwards it is handed to `onError` (the main
// window shows it and closes the port) and the program goes on.
#pragma once

#include <QApplication>

#include <functional>

namespace qv {

class QvApplication : public QApplication {
    Q_OBJECT
public:
    QvApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Start-up is over: errors no longer end the program.
    void startedUp() { m_startingUp = false; }
    bool startingUp() const { return m_startingUp; }
    std::function<void(const QString &what)> onError;

private:
    void handle(const QString &what);
    bool m_startingUp = true;
};

} // namespace qv
