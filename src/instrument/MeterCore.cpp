#include "instrument/MeterCore.h"

#include "meter/MeterUpkeep.h"
#include "protocol/Probes.h"

namespace qv {

namespace {
constexpr int ServiceInterval = 100;
constexpr uint32_t BlinkMs = 333;
constexpr uint32_t BatteryRefreshMs = 30000;
constexpr double MsPerDay = 86400000.0;
} // namespace

int keyCommand(MeterKey key)
{
    switch (key) {
    case MeterKey::Mode: return kcD;
    case MeterKey::Set: return kcL;
    case MeterKey::Memo: return kcT;
    case MeterKey::Esc: return kcQ;
    case MeterKey::Refresh: return kcI;
    case MeterKey::Power: return kcZ;
    case MeterKey::Up: return kcR;
    case MeterKey::Down: return kcJ;
    case MeterKey::Meas: return kcS;
    case MeterKey::Enter: return kcK;
    }
    return -1;
}

QRgb statusColour(int code)
{
    return code > 1 ? qRgb(255, 0, 0) : qRgb(0, 0, 0x80);
}

MeterCore::MeterCore(TComm32QV &comm, uint8_t language, uint8_t edition, Clock &clock,
                     TimerFactory &timers, const LcdResources &resources)
    : m_comm(comm), m_clock(clock), m_timer(timers.create()), m_screen(language, edition, resources)
{
    m_comm.setFixedRespTime(m_comm.TransmitTime(28) + m_comm.TimeOut() + 5000);
    storeFrameDelay();
    attach();
    const uint32_t now = m_clock.ticks();
    m_secondStart = m_blinkTick = m_batteryTick = m_infoTick = now;
    m_timer->onTimeout = [this] { serviceTick(); };
    m_timer->setInterval(ServiceInterval);
    m_timer->setEnabled(true);
}

MeterCore::~MeterCore()
{
    m_timer->setEnabled(false);
    m_comm.releaseHandlers();
}

void MeterCore::attach()
{
    m_comm.OnCOMStatus = [this](int code, const QString &text) { status(code, text); };
    m_comm.OnTxdEmpty = [this](const uint8_t *, uint32_t) {
        m_txdEmptyTick = m_clock.ticks();
        m_sent = true;
    };
    m_comm.OnRecFrame = [this](const uint8_t *buf, uint32_t size) { recFrame(buf, size); };
    m_comm.OnReceiveText = [this](const TDataTextQV &t) {
        m_screen.rec.text = t;
        m_screen.textReceived();
        changed();
    };
    m_comm.OnProgressMemo = [this](int32_t total, int32_t cell, int32_t progress) {
        m_screen.drawProgress(total, cell, progress);
        changed();
    };
    m_comm.OnStartMeas = [this] {
        m_screen.runInProgress = true;
        if (OnStartMeas)
            OnStartMeas();
    };
    m_comm.OnStopMeas = [this] { stopMeas(); };
    m_comm.OnReceiveMeas = [this](const TDataMeasQV &m) { meas(m); };
    m_comm.OnReceiveInfo = [this](const TDataInfoQV &i) { info(i); };
    m_comm.OnReceiveInfoMeter = [this](const TInfoMeterQV &im) {
        m_screen.rec.ident = im;
        m_screen.rec.identReceived = true;
        m_identRequest = false;
        if (m_screen.rec.screen() == 1) {
            m_screen.drawWelcome();
            changed();
        }
        if (OnReceiveInfoMeter)
            OnReceiveInfoMeter(im);
    };
    m_comm.OnReceiveMemo = [this](const uint8_t *buf, uint32_t size) {
        if (OnReceiveMemo)
            OnReceiveMemo(buf, size);
    };
    m_comm.OnMeterON = [this] {
        m_meterOn = true;
        m_measurementRunning = false;
        cancelSelection();
        m_backlightIndex = -1;
        m_screen.meterSwitched();
        changed();
        if (OnMeterON)
            OnMeterON();
    };
    m_comm.OnMeterOFF = [this] { meterSwitchedOff(); };
}

void MeterCore::recFrame(const uint8_t *buf, uint32_t size)
{
    m_sent = false;
    m_meterOn = true;
    ScreenRecords &rec = m_screen.rec;
    rec.frame = QByteArray(reinterpret_cast<const char *>(buf), int(size));
    const uint8_t type = rec.frameType();
    if (type == ftMemoryRecord)
        m_screen.hideCursor();
    if (type != ftMemoryPreview)
        m_screen.memoryCellSelected = true;
    RequestsAfterFrame(m_comm, buf, size, m_identRequest);
}

void MeterCore::info(const TDataInfoQV &info)
{
    m_screen.rec.info = info;
    m_screen.infoReceived();
    // The meter's clock, corrected by the time its frame took on the line.
    m_screen.clockBase = info.DateTime + m_frameDelay / MsPerDay;
    m_infoTick = m_secondStart = m_clock.ticks();
    m_measurementRunning = true;
    m_timer->setEnabled(false);
    m_timer->setEnabled(true);
    m_backlightIndex = info.BacklightOn ? 1 : 0;
    m_screen.showBacklight(m_backlightIndex);
    if (OnProbeText) {
        const UnitState &u = m_screen.unit;
        OnProbeText(ProbeDescription(m_screen.language(), info.ProbePresent, uint8_t(u.probeCode),
                                     info.LuminanceMode ? uint8_t(u.accessory) : 0, info.LuminanceMode,
                                     false, false, false),
                    !info.ProbePresent);
    }
    changed();
    if (OnReceiveInfo)
        OnReceiveInfo(info);
    if (OnSelectionContinue)
        OnSelectionContinue();
}

void MeterCore::meas(const TDataMeasQV &meas)
{
    m_refreshDeadlineSet = false;
    m_screen.rec.meas = meas;
    const bool passOn = m_screen.measurementReceived();
    changed();
    if (passOn && OnReceiveMeas)
        OnReceiveMeas(m_screen.rec.meas);
}

void MeterCore::stopMeas()
{
    m_screen.runInProgress = false;
    if (OnStopMeas)
        OnStopMeas();
}

void MeterCore::meterSwitchedOff()
{
    if (m_screen.runInProgress)
        stopMeas();
    m_meterOn = false;
    m_measurementRunning = false;
    cancelSelection();
    m_screen.forgetBacklight();
    m_backlightIndex = -1;
    m_screen.meterSwitched();
    m_screen.memorySizeFlag = -1;
    m_screen.keysLocked = false;
    if (OnProbeText)
        OnProbeText(QString(), false);
    changed();
    if (OnMeterOFF)
        OnMeterOFF();
}

void MeterCore::status(int code, const QString &text)
{
    if (code > 1) {
        cancelSelection();
        m_meterOn = false;
    }
    if (code == stCommLost)
        m_identRequest = true;
    if (OnStatus)
        OnStatus(code, text);
    if (code > 0)
        m_measurementRunning = false;
}

void MeterCore::forgetMeter()
{
    m_screen.rec.info = TDataInfoQV{};
    m_screen.rec.ident = TInfoMeterQV{};
    m_screen.rec.identReceived = false;
    m_identRequest = true;
    m_measurementRunning = false;
}

void MeterCore::pressKey(MeterKey key)
{
    if (m_screen.keysLocked && key != MeterKey::Esc && key != MeterKey::Power)
        return;
    // Straight to the protocol component: a key that finds its queue full
    // is dropped, so a held key never piles up behind the meter's answers.
    if (key != MeterKey::Refresh) {
        m_comm.SendKey(keyCommand(key));
        return;
    }
    // During a run the REFRESH waits until the measurements pause.
    const uint32_t d = m_comm.TransmitTime(28) + m_comm.LastMeasTick() + 1000 + m_comm.TransmitTime(50) +
                       2 * uint32_t(m_comm.TimeOut());
    if (m_screen.runInProgress && (!m_refreshDeadlineSet || tickReached(d, m_refreshDeadline))) {
        m_refreshDeadline = d;
        m_refreshDeadlineSet = true;
        return;
    }
    m_refreshDeadlineSet = false;
    m_comm.SendKey(kcI);
    m_comm.SendKey(kcB);
}

void MeterCore::storeFrameDelay()
{
    m_frameDelay = m_comm.TransmitTime(28) + m_comm.TimeOut();
}

void MeterCore::resetScreenState()
{
    m_screen.hideCursor();
    m_screen.keysLocked = false;
    m_screen.previousScreen = -1;
}

void MeterCore::serviceTick()
{
    const uint32_t now = m_clock.ticks();
    if (m_refreshDeadlineSet && tickReached(now, m_refreshDeadline + 1)) {
        m_refreshDeadline = now;
        pressKey(MeterKey::Refresh);
    }
    if (now - m_secondStart >= 1000) {
        m_secondStart += 1000;
        const int s = m_screen.rec.screen();
        const bool continuous = m_screen.rec.frameType() == ftMeasurement && (s == 100 || s == 110 || s == 1100);
        if (m_measurementRunning && (LcdScreen::isClockScreen(s) || continuous)) {
            m_screen.drawClock(m_screen.clockBase + (now - m_infoTick) / MsPerDay);
            changed();
        }
    }
    if (now - m_blinkTick >= BlinkMs) {
        m_blinkTick = now;
        m_blinkPhase = !m_blinkPhase;
        if (m_screen.cursorShown()) {
            m_screen.canvas().paintCursor(m_blinkPhase);
            changed();
        }
    }
    if (AutoRefreshBAT && m_meterOn && !m_comm.InMemoryTransfer() && now - m_batteryTick >= BatteryRefreshMs) {
        RequestStatusRefresh(m_comm);
        m_batteryTick = now;
    }
}

void MeterCore::changed() const
{
    if (OnLcdChanged)
        OnLcdChanged();
}

void MeterCore::cancelSelection() const
{
    if (OnSelectionCancel)
        OnSelectionCancel();
}

} // namespace qv
