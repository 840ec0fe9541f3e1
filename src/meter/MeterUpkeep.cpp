#include "meter/MeterUpkeep.h"

namespace qv {

namespace {
constexpr int TickMs = 500;
// The calibration screen reports measurements that need the status with them.
constexpr int CalibrationScreen = 220;
} // namespace

void RequestsAfterFrame(TComm32QV &comm, const uint8_t *buf, uint32_t size, bool &identRequest)
{
    const uint8_t type = size > 2 ? buf[2] : 0xFF;
    if (type == ftIdentification)
        identRequest = false;
    if (type == ftMeasurement && size >= 14 && (buf[12] | (buf[13] << 8)) == CalibrationScreen)
        comm.SendKey(kcI);
    if (type != ftIdentification && identRequest)
        comm.SendKey(kcB);
    if (type == ftMeterOn || type == ftMeterOff)
        identRequest = true;
}

void RequestStatusRefresh(TComm32QV &comm)
{
    // A response watch still running from an earlier key must not run out
    // before the meter has had time to answer this request.
    const uint32_t hold = comm.TransmitTime(50) + 2 * (comm.TimeOut() + comm.MaxRespTime());
    if (comm.HoldTime() < hold)
        comm.SetHoldTime(hold);
    comm.SendKey(kcI);
}

MeterUpkeep::MeterUpkeep(TComm32QV &comm, Clock &clock, TimerFactory &timers)
    : m_comm(comm), m_clock(clock), m_timer(timers.create())
{
    m_refreshTick = m_frameTick = m_pollTick = m_clock.ticks();
    m_comm.OnRecFrame = [this](const uint8_t *buf, uint32_t size) { frame(buf, size); };
    m_comm.OnCOMStatus = [this](int code, const QString &text) { status(code, text); };
    m_comm.OnReceiveInfo = [this](const TDataInfoQV &i) {
        if (OnReceiveInfo)
            OnReceiveInfo(i);
    };
    m_comm.OnReceiveInfoMeter = [this](const TInfoMeterQV &i) {
        m_ident = i;
        m_identified = true;
        m_identRequest = false;
        if (OnReceiveInfoMeter)
            OnReceiveInfoMeter(i);
    };
    m_comm.OnReceiveMeas = [this](const TDataMeasQV &m) {
        const int s = screen();
        const bool measuring = m_frameType == ftMeasurement && (s == 0 || s == 110 || s == 1100);
        if (measuring && m.Complete && !m.RangeChange && OnReceiveMeas)
            OnReceiveMeas(m);
    };
    m_comm.OnReceiveText = [this](const TDataTextQV &t) {
        if (OnReceiveText)
            OnReceiveText(t);
    };
    m_comm.OnReceiveMemo = [this](const uint8_t *buf, uint32_t size) {
        if (OnReceiveMemo)
            OnReceiveMemo(buf, size);
    };
    m_comm.OnProgressMemo = [this](int32_t total, int32_t cell, int32_t progress) {
        if (OnProgressMemo)
            OnProgressMemo(total, cell, progress);
    };
    m_comm.OnStartMeas = [this] {
        if (OnStartMeas)
            OnStartMeas();
    };
    m_comm.OnStopMeas = [this] {
        if (OnStopMeas)
            OnStopMeas();
    };
    m_comm.OnMeterON = [this] { m_meterOn = true; };
    m_comm.OnMeterOFF = [this] {
        m_meterOn = false;
        if (OnMeterOFF)
            OnMeterOFF();
    };
    m_timer->onTimeout = [this] { tick(); };
    m_timer->setInterval(TickMs);
    m_timer->setEnabled(true);
}

MeterUpkeep::~MeterUpkeep()
{
    m_timer->setEnabled(false);
    m_comm.releaseHandlers();
}

void MeterUpkeep::refresh()
{
    m_pollTick = m_refreshTick = m_clock.ticks();
    m_comm.SendKey(kcI);
    m_comm.SendKey(kcB);
}

void MeterUpkeep::frame(const uint8_t *buf, uint32_t size)
{
    m_meterOn = true;
    m_frameTick = m_clock.ticks();
    m_frameType = size > 2 ? buf[2] : 0xFF;
    if (m_frameType == ftStatus || m_frameType == ftText)
        ++m_answers;
    RequestsAfterFrame(m_comm, buf, size, m_identRequest);
}

void MeterUpkeep::status(int code, const QString &text)
{
    if (code > stDisconnected)
        m_meterOn = false;
    if (code == stCommLost)
        m_identRequest = true;
    if (code == m_lastStatus)
        return;
    m_lastStatus = code;
    if (OnStatus)
        OnStatus(code, text);
}

void MeterUpkeep::tick()
{
    if (!m_comm.IsOpen() || m_comm.InMemoryTransfer())
        return;
    const uint32_t now = m_clock.ticks();
    if (m_meterOn && now - m_refreshTick >= RefreshMs) {
        RequestStatusRefresh(m_comm);
        m_refreshTick = now;
    } else if (now - m_frameTick >= SilentPollMs && now - m_pollTick >= SilentPollMs) {
        // A silent meter may have been switched on or plugged in again.
        m_pollTick = now;
        m_comm.SendKey(kcI);
    }
}

} // namespace qv
