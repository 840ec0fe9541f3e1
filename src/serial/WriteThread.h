// The transmit thread of an open port: takes blocks from its own queue and
// writes each one out completely, unless the stop event ends it first.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace qv {

struct WriteThreadConfig {
    int fd = -1;
    int stopFd = -1;
    uint16_t bufferSize = 1024; // SizeBufTXD: the most written of one block
    // Runs on the transmit thread with the bytes just written; must only post
    // to the owner thread. Empty when nobody wants to hear of them.
    std::function<void(QByteArray)> sent;
};

class WriteThread {
public:
    explicit WriteThread(WriteThreadConfig config); // starts the thread
    ~WriteThread();                                 // joins it
    WriteThread(const WriteThread &) = delete;
    WriteThread &operator=(const WriteThread &) = delete;

    // Owner thread: queues a copy of the block for writing. Refused (false)
    // for an empty block or once the stop event is set.
    bool handOver(const QByteArray &block);
    // Waits for the thread to end; it ends once the stop event is set.
    void join();
    bool running() const { return m_wakeFd >= 0 && m_thread.joinable(); }

private:
    void run();
    void writeBlock(const QByteArray &block);
    bool waitWritable();

    WriteThreadConfig m_config;
    int m_wakeFd = -1; // eventfd: "the queue has something"
    std::mutex m_mutex;
    std::deque<QByteArray> m_queue;
    std::thread m_thread;
};

} // namespace qv
