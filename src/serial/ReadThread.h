// The receive thread of an open port: waits for bytes, reads them in passes
// paced by TimeOut so that a whole frame tends to arrive as one block, and
// hands each block over as an owned byte array.
#pragma once

#include "serial/LineSettings.h"
#include "serial/SerialDevice.h"

#include <QByteArray>

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

namespace qv {

struct ReadThreadConfig {
    int fd = -1;
    int stopFd = -1;
    uint16_t bufferSize = 1024;                        // SizeBufRXD: the largest block
    LineSettings line;                                 // gives the margin
    const std::atomic<uint16_t> *timeOut = nullptr;    // ms; may change while running
    const std::atomic<bool> *noGapWait = nullptr;      // drops the pause between reads
    // Both run on the receive thread and must only post to the owner thread.
    std::function<void(QByteArray)> handOver;
    std::function<void()> lineError;
    // The driver's line-error counters; empty means TIOCGICOUNT on `fd`.
    std::function<bool(LineErrorCounts &)> readErrorCounts;
};

class ReadThread {
public:
    explicit ReadThread(ReadThreadConfig config); // starts the thread
    ~ReadThread();                                // joins it
    ReadThread(const ReadThread &) = delete;
    ReadThread &operator=(const ReadThread &) = delete;

    // Waits for the thread to end; it ends once the stop event is set.
    void join();

private:
    enum class PassEnd { Done, Stopped, HungUp };

    void run();
    PassEnd readData(bool hangupSeen);
    PassEnd readWithoutCount(bool hangupSeen);
    void checkLineErrors();
    uint16_t timeOut() const;
    bool noGapWait() const;

    ReadThreadConfig m_config;
    std::vector<uint8_t> m_buffer;
    uint32_t m_margin = 0;
    bool m_haveCounts = false;
    LineErrorCounts m_counts;
    std::thread m_thread;
};

} // namespace qv
