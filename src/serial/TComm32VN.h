// The serial port component: owns one serial port, runs a receive and a
// transmit thread, hands every received block to the owner thread, keeps a
// one-entry transmit queue with pacing and a response watch, and reports the
// link state as numbered status codes with Polish or English texts.
//
// Everything public runs on the owner thread (the thread that created the
// component, which must run a Qt event loop for a real port). The worker
// threads only move bytes; blocks cross threads as owned byte vectors.
#pragma once

#include "serial/Clock.h"
#include "serial/LineSettings.h"
#include "serial/PortSource.h"
#include "serial/Timer.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

namespace qv {

// Link status codes.
enum LinkStatus : int {
    stConnected = 0,
    stDisconnected = 1,
    stCommLost = 2,
    stFrameError = 3,
    stCommError = 4,
    stDataError = 5,
    stBusy = 6,
    stPortNotFound = 7,
    stPortError = 8,
};

// The text of a status code in a language (0 Polish, 1 English); empty for
// an unknown code.
QString statusText(int code, uint8_t language);

// The name meaning "no port" ("żaden" / "none").
QString noneName(uint8_t language);
// True when `name` is a none name of either language, in any letter case.
bool isNoneName(const QString &name);

// The seams the component uses. Tests pass a manual clock, manual timers and
// a fake port source.
struct SerialPlatform {
    Clock *clock = nullptr;
    TimerFactory *timers = nullptr;
    PortSource *ports = nullptr;
    static SerialPlatform system();
};

class TComm32VN {
public:
    using TReceive = std::function<void(const uint8_t *buf, uint32_t size)>;
    using TStatus = std::function<void(int code, const QString &text)>;
    using TNotify = std::function<void()>;

    explicit TComm32VN(uint8_t language, const SerialPlatform &platform = SerialPlatform::system());
    virtual ~TComm32VN();
    TComm32VN(const TComm32VN &) = delete;
    TComm32VN &operator=(const TComm32VN &) = delete;

    // --- published properties -------------------------------------------
    QString COMPort() const;
    void setCOMPort(const QString &name);          // resolves the name, reopens
    TBaudRate BaudRate() const;
    void setBaudRate(TBaudRate rate);              // reopen
    TParityBit Parity() const;
    void setParity(TParityBit parity);             // reopen
    TDataBits DataBits() const;
    void setDataBits(TDataBits bits);              // reopen
    TStopBits StopBits() const;
    void setStopBits(TStopBits bits);              // reopen
    uint16_t TimeOut() const;
    void setTimeOut(uint16_t ms);                  // also into the running threads
    uint32_t MaxRespTime() const;
    void setMaxRespTime(uint32_t ms);
    // The response timeout length in ms; 0 computes it from the block sent.
    uint32_t FixedRespTime() const;
    void setFixedRespTime(uint32_t ms);
    uint16_t SizeBufTXD() const;
    void setSizeBufTXD(uint16_t bytes);            // reopen
    uint16_t SizeBufRXD() const;
    void setSizeBufRXD(uint16_t bytes);            // reopen
    bool StatusONifReceive = true;
    bool DTRCtrlEnable() const;
    void setDTRCtrlEnable(bool on);                // reopen when changed (same for the six below)
    bool DTRCtrlHandshake() const;
    void setDTRCtrlHandshake(bool on);
    bool RTSCtrlEnable() const;
    void setRTSCtrlEnable(bool on);
    bool RTSCtrlHandshake() const;
    void setRTSCtrlHandshake(bool on);
    bool RTSCtrlToggle() const;
    void setRTSCtrlToggle(bool on);
    bool FlowDTR_DSR() const;
    void setFlowDTR_DSR(bool on);
    bool FlowRTS_CTS() const;
    void setFlowRTS_CTS(bool on);
    bool RTSState() const;
    void setRTSState(bool on);                     // drives the line at once
    bool DTRState() const;
    void setDTRState(bool on);
    bool WaitToResponse = true;
    bool SoundOnError = false;

    // --- events (raised only when assigned) ------------------------------
    TReceive OnReceive;
    TReceive OnTxdEmpty;
    TStatus OnCOMStatus;
    TNotify OnRespTimeOver;
    TNotify OnPortListChange;
    TNotify OnPortChange;

    // --- state -------------------------------------------------------------
    uint8_t Language() const { return m_language; }
    const QStringList &PortList() const;           // entry 0 is the none name
    int PortIndex() const;                         // 0 = none selected
    QString OpenedPort() const;                    // the name actually opened
    bool IsOpen() const;
    bool ReadyToSend() const;
    int LastStatus() const;
    LineSettings lineSettings() const;
    // Why the last Open failed (status 6, 7 or 8), in the component's
    // language; empty after a successful Open.
    QString LastErrorHint() const;

    // --- operations ----------------------------------------------------------
    virtual bool Open();
    virtual void Close();
    // Queues a block (at most SizeBufTXD bytes). Only one block can wait: a
    // block offered while one waits is dropped and the result is false.
    bool Transmit(const uint8_t *buf, uint32_t size, bool awaitResponse = true);
    bool Transmit(const QByteArray &bytes, bool awaitResponse = true);
    void ReportStatus(int code);
    void ReportStatus();                           // re-raises the last status
    void RescanPorts();
    // Re-reads the component after its settings were given in one go: Close
    // then Open, so a port set beforehand opens now.
    void Loaded();

    // While HoldTime (ms) is above 0 no response timeout is declared; the
    // response timer counts it down. The instrument raises it before requests
    // whose answers take long.
    uint32_t HoldTime() const;
    void SetHoldTime(uint32_t ms);

    // True while the transmit queue holds a block (a caller pacing several
    // blocks hands over the next one only when this is false).
    bool QueueBusy() const;

    // Milliseconds to send `bytes` on the open port (9600 8N1 when closed),
    // and the inverse.
    uint32_t TransmitTime(uint32_t bytes) const;
    uint32_t BytesInTime(uint32_t ms) const;

    // Makes the component count as open without a device: nothing is read,
    // and every block the write thread would send goes to `sink` at once
    // (then to OnTxdEmpty, when it is assigned now). The queue, pacing and
    // response watch work as on a port. No status is reported (the last
    // status becomes 0); Close ends it. Setters that would reopen the port
    // only store their value meanwhile. The receiver is then driven by
    // calling DeliverBlock. Used by the capture decoder and by tests of the
    // layers above.
    void OpenDetached(std::function<void(const QByteArray &)> sink = nullptr);

    // Handles a received block exactly as if the receive thread had posted it.
    void DeliverBlock(const uint8_t *buf, uint32_t size);

    // The process-wide handler that shows the duplicate-port warning
    // (text, message-box flags). Without one the warning goes to stderr.
    static void setWarningHandler(std::function<void(const QString &, int)> handler);
    // The process-wide error sound for status codes above 1 when SoundOnError
    // is set; the GUI sets it (and checks that the program is in front).
    // Without one no sound is made.
    static void setErrorBeep(std::function<void()> beep);

protected:
    // Runs on the owner thread for every received block.
    virtual void DoReceive(const uint8_t *buf, uint32_t size);
    // Raised when ResponseTimer expires, after the component's own handling;
    // the base raises OnRespTimeOver.
    virtual void DoRespTimeOver();

    // For descendants: the response watch and flow state.
    Timer &ResponseTimer();
    bool AwaitingResponse() const;
    void SetAwaitingResponse(bool on);
    void SetNoGapWait(bool on);
    bool NoGapWait() const;
    // Marks the response timeout as not started (the next ResponseTimer tick starts it).
    void ResetResponseWatch();
    Clock &clock() const;
    bool Destroying() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    uint8_t m_language;
};

} // namespace qv
