// Shared pieces of the serial component's unit tests: a port source the test
// fills by hand, and a component wired to a manual clock and manual timers
// that records what it reports.
#pragma once

#include "serial/PortSource.h"
#include "serial/TComm32VN.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

namespace qvtest {

class FakePortSource : public qv::PortSource {
public:
    QStringList names;
    bool readable = true;
    int scans = 0;

    bool scan(QStringList &out) override
    {
        ++scans;
        out = names;
        return readable;
    }
    // A device came or went: the list changes and the system says so.
    void change(const QStringList &now)
    {
        names = now;
        if (onChanged)
            onChanged();
    }
};

// Everything a component hears of, in order.
struct EventLog {
    std::vector<std::pair<int, QString>> statuses;
    std::vector<QByteArray> received;
    std::vector<QByteArray> sent; // through OnTxdEmpty
    int respTimeOvers = 0;
    std::vector<QString> sequence; // "status N" and "timeover", in order
    int portListChanges = 0;
    int portChanges = 0;

    std::vector<int> codes() const
    {
        std::vector<int> out;
        for (const auto &s : statuses)
            out.push_back(s.first);
        return out;
    }
    void clear() { *this = EventLog(); }
};

inline void record(qv::TComm32VN &c, EventLog &log)
{
    c.OnCOMStatus = [&log](int code, const QString &text) {
        log.statuses.emplace_back(code, text);
        log.sequence.push_back(QString("status %1").arg(code));
    };
    c.OnReceive = [&log](const uint8_t *buf, uint32_t size) {
        log.received.emplace_back(reinterpret_cast<const char *>(buf), int(size));
    };
    c.OnTxdEmpty = [&log](const uint8_t *buf, uint32_t size) {
        log.sent.emplace_back(reinterpret_cast<const char *>(buf), int(size));
    };
    c.OnRespTimeOver = [&log] {
        ++log.respTimeOvers;
        log.sequence.push_back("timeover");
    };
    c.OnPortListChange = [&log] { ++log.portListChanges; };
    c.OnPortChange = [&log] { ++log.portChanges; };
}

// The protected helpers, opened up for tests.
class TestComm : public qv::TComm32VN {
public:
    using TComm32VN::TComm32VN;
    using TComm32VN::AwaitingResponse;
    using TComm32VN::HoldTime;
    using TComm32VN::ResponseTimer;
    using TComm32VN::SetHoldTime;
    using TComm32VN::SetNoGapWait;
};

struct ManualSetup {
    qv::ManualClock clock;
    qv::ManualTimers timers{clock};
    FakePortSource ports;

    qv::SerialPlatform platform()
    {
        qv::SerialPlatform p;
        p.clock = &clock;
        p.timers = &timers;
        p.ports = &ports;
        return p;
    }
};

inline void processPostedEvents()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
}

inline const uint8_t *bytesOf(const QByteArray &a)
{
    return reinterpret_cast<const uint8_t *>(a.constData());
}

} // namespace qvtest
