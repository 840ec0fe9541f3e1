// Helpers for tests over real pseudo-terminals: a pty pair whose slave path
// the program opens while the test plays the far end on the master, a port
// source that lists chosen paths, and waiting on the Qt event loop with a
// deadline (real-time tests only; timing logic is tested with the manual
// clock instead).
#pragma once

#include "serial/SerialTestSupport.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace qvtest {

// Runs the event loop until `done` holds or `timeoutMs` has passed; returns
// whether it holds. `done` is checked after every event and every 2 ms.
inline bool waitUntil(const std::function<bool()> &done, int timeoutMs = 5000)
{
    if (done())
        return true;
    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    QTimer check;
    check.setInterval(2);
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() >= timeoutMs)
            loop.quit();
    });
    check.start();
    loop.exec();
    return done();
}

// Runs the event loop for about `ms`.
inline void runEventLoopFor(int ms)
{
    waitUntil([] { return false; }, ms);
}

class PseudoTerminal {
public:
    PseudoTerminal()
    {
        char name[128] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            return;
        m_path = QString::fromLocal8Bit(name);
        // Raw until the program sets its own line: no echo, no line editing.
        termios t;
        if (::tcgetattr(m_slave, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(m_slave, TCSANOW, &t);
        }
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~PseudoTerminal()
    {
        closeMaster();
        if (m_slave >= 0)
            ::close(m_slave);
    }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool valid() const { return m_master >= 0 && m_slave >= 0; }
    // The path the program opens.
    const QString &slavePath() const { return m_path; }
    // The far end: what is written here the program reads, and vice versa.
    int masterFd() const { return m_master; }

    bool write(const QByteArray &bytes)
    {
        int offset = 0;
        while (offset < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.constData() + offset, size_t(bytes.size() - offset));
            if (n > 0) {
                offset += int(n);
            } else if (n < 0 && errno == EAGAIN) {
                pollfd p{m_master, POLLOUT, 0};
                if (::poll(&p, 1, 2000) <= 0)
                    return false;
            } else if (!(n < 0 && errno == EINTR)) {
                return false;
            }
        }
        return true;
    }

    // What the program has written, waiting up to `timeoutMs` for `atLeast`
    // bytes while the event loop runs (the program's timers send).
    QByteArray read(int atLeast, int timeoutMs = 3000)
    {
        QByteArray got;
        waitUntil(
            [&] {
                char buf[4096];
                ssize_t n;
                while ((n = ::read(m_master, buf, sizeof buf)) > 0)
                    got.append(buf, int(n));
                return got.size() >= atLeast;
            },
            timeoutMs);
        return got;
    }

    // Waits until the program has read every byte written so far. poll on
    // the slave first pushes pending bytes through the line discipline, so
    // "not readable" means they have been taken. There is no event for
    // "taken": it is checked every millisecond.
    bool waitTaken(int timeoutMs = 3000)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            pollfd p{m_slave, POLLIN, 0};
            if (::poll(&p, 1, 0) == 0)
                return true;
            ::poll(nullptr, 0, 1);
        }
        return false;
    }

    // The far end goes away (an unplugged adapter, a simulator that quit).
    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    int m_slave = -1; // kept open so the tty outlives the program's Close
    QString m_path;
};

// A port source listing exactly the paths given.
using ListedPorts = FakePortSource;

// The real clock and Qt timers, with the ports of `ports`.
inline qv::SerialPlatform realTimePlatform(qv::PortSource &ports)
{
    qv::SerialPlatform p;
    p.clock = &qv::systemClock();
    p.timers = &qv::qtTimers();
    p.ports = &ports;
    return p;
}

} // namespace qvtest
