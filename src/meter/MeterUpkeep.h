// The instrument control's care of the link, without a window: it asks a
// meter that has not identified itself for its identification after each of
// its frames (and again once it was switched, or the link was lost), asks
// for the status on the calibration screen and every 30 s while the meter is
// on, polls a meter that has gone silent, and passes on only the complete
// measurements of the measurement screens. The command line's log and
// memory commands run on it; the clock and timers are the serial platform's.
#pragma once

#include "protocol/TComm32QV.h"
#include "serial/Clock.h"
#include "serial/Timer.h"

#include <functional>
#include <memory>

namespace qv {

// The instrument's answers to a frame the meter sent: the status request on
// the calibration screen's measurements, the identification request while
// `identRequest` is set (cleared by an identification, set again when the
// meter is switched on or off). The window's instrument and the upkeep below
// both follow them.
void RequestsAfterFrame(TComm32QV &comm, const uint8_t *buf, uint32_t size, bool &identRequest);
// The periodic status request, with the response watch held long enough
// for the meter to answer it.
void RequestStatusRefresh(TComm32QV &comm);

class MeterUpkeep {
public:
    // Takes over `comm`'s events (and gives them back when destroyed).
    MeterUpkeep(TComm32QV &comm, Clock &clock, TimerFactory &timers);
    ~MeterUpkeep();
    MeterUpkeep(const MeterUpkeep &) = delete;
    MeterUpkeep &operator=(const MeterUpkeep &) = delete;

    // REFRESH: the status, then the identification.
    void refresh();
    bool meterOn() const { return m_meterOn; }
    bool identified() const { return m_identified; }
    const TInfoMeterQV &ident() const { return m_ident; }
    const TDataInfoQV &info() const { return m_comm.DataInfo(); }
    // The screen the meter last reported.
    int screen() const { return m_comm.DataInfo().MenuCode; }
    // The type of the last frame, and the count of the status and text
    // frames the meter has sent (its answers to keys).
    uint8_t lastFrameType() const { return m_frameType; }
    uint32_t answers() const { return m_answers; }

    // --- events (raised only when assigned) -------------------------------
    TComm32QV::TNotifyInfo OnReceiveInfo;
    TComm32QV::TNotifyInfoMeter OnReceiveInfoMeter;
    TComm32QV::TNotifyMeas OnReceiveMeas;     // complete, on a measurement screen
    TComm32QV::TNotifyText OnReceiveText;
    TComm32QV::TReceive OnReceiveMemo;
    TComm32QV::TNotifyProgress OnProgressMemo;
    TComm32VN::TStatus OnStatus;              // changes of the link status only
    TComm32VN::TNotify OnStartMeas, OnStopMeas, OnMeterOFF;

    // Periods of the status refresh and of the polls of a silent meter.
    static constexpr uint32_t RefreshMs = 30000;
    static constexpr uint32_t SilentPollMs = 5000;

private:
    void frame(const uint8_t *buf, uint32_t size);
    void status(int code, const QString &text);
    void tick();

    TComm32QV &m_comm;
    Clock &m_clock;
    std::unique_ptr<Timer> m_timer;
    TInfoMeterQV m_ident;
    uint8_t m_frameType = 0xFF;
    uint32_t m_answers = 0;
    int m_lastStatus = -1;
    bool m_meterOn = false;
    bool m_identified = false;
    bool m_identRequest = true;
    uint32_t m_refreshTick = 0;
    uint32_t m_frameTick = 0;
    uint32_t m_pollTick = 0;
};

} // namespace qv
