// The inside of TComm32VN, shared by the files that implement it: the
// component's properties and link state (TComm32VN.cpp), the port and its
// threads (TComm32VNLink.cpp), the transmit queue and response watch
// (TComm32VNQueue.cpp) and the port list (TComm32VNPorts.cpp).
#pragma once

#include "serial/ReadThread.h"
#include "serial/SerialDevice.h"
#include "serial/StopEvent.h"
#include "serial/TComm32VN.h"
#include "serial/WriteThread.h"

#include <QObject>

#include <atomic>
#include <deque>
#include <optional>
#include <vector>

namespace qv {

struct TComm32VN::Impl {
    Impl(TComm32VN *component, const SerialPlatform &platform);

    TComm32VN *q;
    Clock *clock;
    TimerFactory *timers;
    PortSource *ports;
    // Lives on the owner thread: the worker threads post blocks and status to
    // it, and later work (rescans, warnings) is queued on it.
    QObject owner;

    // --- published properties ---------------------------------------------
    QString comPort;
    LineSettings line;                     // rate, parity, data and stop bits, flow
    std::atomic<uint16_t> timeOut{50};     // read by the receive thread
    std::atomic<bool> noGapWait{false};    // read by the receive thread
    uint32_t maxRespTime = 250;
    uint32_t fixedRespTime = 0;
    uint16_t sizeBufTXD = 1024;
    uint16_t sizeBufRXD = 1024;
    bool dtrCtrlEnable = false;
    bool dtrCtrlHandshake = false;
    bool rtsCtrlEnable = false;
    bool rtsCtrlHandshake = false;
    bool rtsCtrlToggle = false;
    bool rtsState = false;
    bool dtrState = false;

    // --- port list ------------------------------------------------------------
    QStringList portList;
    int portIndex = 0;
    QString openedName;
    QString lastHint;
    bool portLost = false;                 // the chosen port left the list (reopened when it returns)

    // --- the open port ----------------------------------------------------------
    SerialDevice device;
    StopEvent stop;
    std::unique_ptr<ReadThread> reader;
    std::unique_ptr<WriteThread> writer;
    LineSettings openLine;                 // the settings the port was opened with
    uint64_t session = 0;                  // counts Opens; tells stale posts apart
    bool detached = false;
    std::function<void(const QByteArray &)> sink;
    bool detachedNotifySent = false;

    // --- transmit queue and response watch ------------------------------------
    struct QueueEntry {
        bool awaitResponse;
        QByteArray bytes;
    };
    std::deque<QueueEntry> queue;          // at most one entry waits
    bool readyToSend = false;
    bool awaiting = false;
    std::optional<uint32_t> responseStart; // empty: not started
    uint32_t responseLength = 0;
    std::optional<uint32_t> lastSend;      // empty: nothing sent yet
    uint32_t holdTime = 0;
    std::unique_ptr<Timer> queueTimer;
    std::unique_ptr<Timer> responseTimer;

    int lastStatus = stDisconnected;
    bool destroying = false;

    // Runs `work` later on the owner thread (safe from any thread while the
    // component lives; dropped when it is destroyed first).
    void post(std::function<void()> work);

    // TComm32VNLink.cpp
    bool writeThreadRuns() const;
    void stopThreads();
    void driveRts(bool on);
    void driveDtr(bool on);
    void failOpen(int status, const QString &hint);
    void startThreads();
    // A setter that changes how the port is opened: Close then Open, except
    // while detached (no device to reconfigure).
    void reopen();

    // TComm32VNQueue.cpp
    void sendNext();
    void onQueueTimer();
    void onResponseTimer();
    bool pacingElapsed() const;

    // TComm32VNPorts.cpp
    static std::vector<Impl *> &liveComponents();
    void registerForDeviceChanges();
    void unregister();
    void requestScan();
    int portIndexOf(const QString &name) const;
    void reopenReturned();
    void checkDuplicateWarning();
};

} // namespace qv
