// Shared pieces of the serial component's tests: a port source the test fills
// by hand, a log of everything a component reports, and a component on a
// manual clock and manual timers.
#pragma once

#include "serial/PortSource.h"
#include "serial/TComm32VN.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QStringList>

#include <utility>
#include <vector>

namespace qvtest {

class FakePortSource : public qv::PortSource {
public:
    explicit FakePortSource(QStringList listed = {}) : names(std::move(listed)) {}
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

// Everything a component reports, in order.
struct EventLog {
    std::vector<std::pair<int, QString>> statuses;
    std::vector<QByteArray> received;
    std::vector<QByteArray> sent; // through OnTxdEmpty
    std::vector<QString> sequence; // "status N" and "timeover", in order
    int respTimeOvers = 0, portListChanges = 0, portChanges = 0;

    std::vector<int> codes() const
    {
        std::vector<int> out;
        for (const auto &s : statuses)
            out.push_back(s.first);
        return out;
    }
    QByteArray allReceived() const
    {
        QByteArray all;
        for (const QByteArray &block : received)
            all += block;
        return all;
    }
    void clear() { *this = EventLog(); }
};

inline void record(qv::TComm32VN &c, EventLog &log)
{
    c.OnCOMStatus = [&log](int code, const QString &text) {
        log.statuses.emplace_back(code, text);
        log.sequence.push_back(QString("status %1").arg(code));
    };
    const auto bytes = [](const uint8_t *b, uint32_t n) {
        return QByteArray(reinterpret_cast<const char *>(b), int(n));
    };
    c.OnReceive = [&log, bytes](const uint8_t *b, uint32_t n) { log.received.push_back(bytes(b, n)); };
    c.OnTxdEmpty = [&log, bytes](const uint8_t *b, uint32_t n) { log.sent.push_back(bytes(b, n)); };
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
    using TComm32VN::SetHoldTime;
    using TComm32VN::SetNoGapWait;
    int doRespTimeOvers = 0; // the virtual hook; the base raises OnRespTimeOver
    void DoRespTimeOver() override
    {
        ++doRespTimeOvers;
        TComm32VN::DoRespTimeOver();
    }
};

struct ManualSetup {
    qv::ManualClock clock;
    qv::ManualTimers timers{clock};
    FakePortSource ports;

    qv::SerialPlatform platform() { return qv::SerialPlatform{&clock, &timers, &ports}; }
};

inline void processPostedEvents()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
}

} // namespace qvtest
