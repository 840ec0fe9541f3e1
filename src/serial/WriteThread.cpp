#include "serial/WriteThread.h"
#include "serial/SerialDevice.h"
#include "serial/StopEvent.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace qv {

WriteThread::WriteThread(WriteThreadConfig config) : m_config(std::move(config))
{
    m_wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_wakeFd >= 0 && m_config.fd >= 0)
        m_thread = std::thread([this] { run(); });
}

WriteThread::~WriteThread()
{
    join();
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
}

void WriteThread::join()
{
    if (m_thread.joinable())
        m_thread.join();
}

bool WriteThread::handOver(const QByteArray &block)
{
    if (block.isEmpty() || !running() || StopEvent::isSignalled(m_config.stopFd))
        return false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(block);
    }
    const uint64_t one = 1;
    if (::write(m_wakeFd, &one, sizeof one) != sizeof one)
        return false;
    return !StopEvent::isSignalled(m_config.stopFd);
}

void WriteThread::run()
{
    for (;;) {
        pollfd fds[2] = {{m_config.stopFd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents)
            break;
        uint64_t count;
        (void)::read(m_wakeFd, &count, sizeof count);
        for (;;) {
            QByteArray block;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_queue.empty())
                    break;
                block = std::move(m_queue.front());
                m_queue.pop_front();
            }
            if (StopEvent::isSignalled(m_config.stopFd))
                break;
            writeBlock(block);
        }
    }
    tty::purgeOutput(m_config.fd);
}

void WriteThread::writeBlock(const QByteArray &block)
{
    const int limit = std::min<int>(block.size(), m_config.bufferSize);
    int offset = 0;
    while (offset < limit) {
        if (StopEvent::isSignalled(m_config.stopFd))
            return;
        const ssize_t written = ::write(m_config.fd, block.constData() + offset, size_t(limit - offset));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN && waitWritable())
                continue;
            return; // a failed write (or a stop while waiting) ends the block
        }
        if (written == 0)
            return;
        if (m_config.sent && !StopEvent::isSignalled(m_config.stopFd))
            m_config.sent(block.mid(offset, int(written)));
        offset += int(written);
    }
}

// Waits until the driver takes more bytes; false when stopped or the line is gone.
bool WriteThread::waitWritable()
{
    for (;;) {
        pollfd fds[2] = {{m_config.stopFd, POLLIN, 0}, {m_config.fd, POLLOUT, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (fds[0].revents)
            return false;
        if (fds[1].revents & POLLOUT)
            return true;
        if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL))
            return false;
    }
}

} // namespace qv
