// A protocol component as a freshly started program has it, for replaying a
// capture of the meter's bytes without a port: its own manual clock and
// timers, no system ports, the process-wide receiver state as at start-up,
// and the port counted as open. No time passes unless the caller lets it.
#pragma once

#include "protocol/TComm32QV.h"
#include "serial/Timer.h"

#include <QByteArray>

#include <algorithm>

namespace qv {

class CaptureReplay {
public:
    explicit CaptureReplay(uint8_t language)
        : m_timers(m_clock), m_comm(language, SerialPlatform{&m_clock, &m_timers, &m_ports})
    {
        TComm32QV::ResetSharedState();
        m_comm.OpenDetached();
    }

    TComm32QV &comm() { return m_comm; }
    Clock &clock() { return m_clock; }
    TimerFactory &timers() { return m_timers; }

    // Hands the bytes to the receiver in blocks of `blockSize` (0: one block).
    void deliver(const QByteArray &bytes, qsizetype blockSize = 0)
    {
        const auto *data = reinterpret_cast<const uint8_t *>(bytes.constData());
        const qsizetype total = bytes.size();
        const qsizetype step = blockSize > 0 ? blockSize : (total > 0 ? total : 1);
        for (qsizetype at = 0; at < total; at += step)
            m_comm.DeliverBlock(data + at, uint32_t(std::min(step, total - at)));
    }

    // Lets `ms` pass on the replay's clock (its timers fire on the way).
    void advance(uint32_t ms) { m_timers.advance(ms); }

private:
    ManualClock m_clock;
    ManualTimers m_timers;
    FixedPortSource m_ports;
    TComm32QV m_comm;
};

} // namespace qv
