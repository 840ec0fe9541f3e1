// The instrument's core: reacts to every event of the protocol component,
// keeps the records and flags that decide the LCD picture, runs the 100 ms
// service timer (deferred REFRESH, running clock, cursor blink, battery
// refresh) and passes the records on through its own events. It has no
// window: the instrument window adds its controls around it, and the command
// line and the tests use it as it is.
#pragma once

#include "instrument/LcdScreen.h"
#include "protocol/TComm32QV.h"
#include "serial/Clock.h"
#include "serial/Timer.h"

#include <QRgb>

#include <functional>
#include <memory>

namespace qv {

// The meter's keys, in the order of their faces.
enum class MeterKey { Mode, Set, Memo, Esc, Refresh, Power, Up, Down, Meas, Enter };
// The protocol command index of a key (REFRESH: the information request).
int keyCommand(MeterKey key);

// The status panel's colour for a link status code: navy for 0 and 1, else red.
QRgb statusColour(int code);

class MeterCore {
public:
    // Attaches the core's handlers to `comm`'s events (and detaches them when
    // destroyed); sets the component's fixed response time.
    MeterCore(TComm32QV &comm, uint8_t language, uint8_t edition, Clock &clock, TimerFactory &timers,
              const LcdResources &resources = LcdResources::builtIn());
    ~MeterCore();
    MeterCore(const MeterCore &) = delete;
    MeterCore &operator=(const MeterCore &) = delete;

    LcdScreen &screen() { return m_screen; }
    const QImage &lcdImage() const { return m_screen.surface().image(); }
    const ScreenRecords &records() const { return m_screen.rec; }

    // --- flags ---------------------------------------------------------------
    bool meterOn() const { return m_meterOn; }
    bool measurementRunning() const { return m_measurementRunning; }
    bool runInProgress() const { return m_screen.runInProgress; }
    bool keysLocked() const { return m_screen.keysLocked; }
    bool sent() const { return m_sent; }
    bool identRequest() const { return m_identRequest; }
    void setIdentRequest(bool on) { m_identRequest = on; }
    int backlightIndex() const { return m_backlightIndex; }
    const EntryPermissions &entry() const { return m_screen.entry; }
    bool refreshDeferred() const { return m_refreshDeadlineSet; }
    bool AutoRefreshBAT = true;

    // --- operations ------------------------------------------------------------
    // Presses a meter key: the one path of on-screen keys, menu clicks on the
    // picture and the deferred REFRESH. Keys-locked lets only ESC and POWER pass.
    void pressKey(MeterKey key);
    // Another port: both records zeroed, identification requested again.
    void forgetMeter();
    // Hooks of the window's port and baud-rate flows.
    void clearSent() { m_sent = false; }
    // A baud rate was set: the time a frame takes on the line as it is now,
    // which the clock adds to the meter's date-time from then on.
    void storeFrameDelay();
    void stopClock() { m_measurementRunning = false; }
    // A download cut short by another port: no edit cursor, no lock, and the
    // next screen drawn in full.
    void resetScreenState();
    // One tick of the service timer (the timer calls it every 100 ms).
    void serviceTick();

    // --- events (raised only when assigned) ---------------------------------------
    TComm32QV::TNotifyInfo OnReceiveInfo;
    TComm32QV::TNotifyInfoMeter OnReceiveInfoMeter;
    TComm32QV::TNotifyMeas OnReceiveMeas;
    TComm32QV::TReceive OnReceiveMemo;
    TComm32VN::TStatus OnStatus;
    TComm32VN::TNotify OnStartMeas, OnStopMeas, OnMeterON, OnMeterOFF;
    // The picture changed (the window repaints it).
    std::function<void()> OnLcdChanged;
    // The probe panel's text; red when no probe is reported.
    std::function<void(const QString &text, bool red)> OnProbeText;
    // A pending menu selection on the picture continues (after each info
    // record) or is dropped (status errors, meter on or off).
    std::function<void()> OnSelectionContinue;
    std::function<void()> OnSelectionCancel;

private:
    void attach();
    void recFrame(const uint8_t *buf, uint32_t size);
    void info(const TDataInfoQV &info);
    void meas(const TDataMeasQV &meas);
    void stopMeas();
    void meterSwitchedOff();
    void status(int code, const QString &text);
    void changed() const;
    void cancelSelection() const;

    TComm32QV &m_comm;
    Clock &m_clock;
    std::unique_ptr<Timer> m_timer;
    LcdScreen m_screen;
    bool m_meterOn = false;
    bool m_measurementRunning = false;
    bool m_sent = false;
    bool m_identRequest = true;
    int m_backlightIndex = -1;
    bool m_blinkPhase = false;
    bool m_refreshDeadlineSet = false;
    uint32_t m_refreshDeadline = 0;
    uint32_t m_infoTick = 0;
    uint32_t m_secondStart = 0;
    uint32_t m_blinkTick = 0;
    uint32_t m_batteryTick = 0;
    uint32_t m_txdEmptyTick = 0;
    uint32_t m_frameDelay = 0;
};

} // namespace qv
