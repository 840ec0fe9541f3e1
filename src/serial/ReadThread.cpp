#include "serial/ReadThread.h"
#include "serial/StopEvent.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <poll.h>
#include <unistd.h>

namespace qv {

ReadThread::ReadThread(ReadThreadConfig config) : m_config(std::move(config))
{
    if (!m_config.readErrorCounts) {
        const int fd = m_config.fd;
        m_config.readErrorCounts = [fd](LineErrorCounts &out) {
            return tty::readLineErrorCounts(fd, out);
        };
    }
    m_thread = std::thread([this] { run(); });
}

ReadThread::~ReadThread()
{
    join();
}

void ReadThread::join()
{
    if (m_thread.joinable())
        m_thread.join();
}

uint16_t ReadThread::timeOut() const
{
    return m_config.timeOut ? m_config.timeOut->load() : 0;
}

bool ReadThread::noGapWait() const
{
    return m_config.noGapWait && m_config.noGapWait->load();
}

void ReadThread::run()
{
    const int fd = m_config.fd;
    if (fd < 0)
        return;
    // 1.5 times what the line carries during one pause: what may still come in
    // while the thread sleeps must fit in the block.
    m_margin = bytesInTime(m_config.line, timeOut()) * 3 / 2;
    m_buffer.assign(std::max<size_t>(1, m_config.bufferSize), 0);
    m_haveCounts = m_config.readErrorCounts(m_counts);

    for (;;) {
        pollfd fds[2] = {{m_config.stopFd, POLLIN, 0}, {fd, POLLIN, 0}};
        const int rc = ::poll(fds, 2, -1);
        if (rc < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents)
            break;
        checkLineErrors();
        const bool hangupSeen = fds[1].revents & (POLLHUP | POLLERR | POLLNVAL);
        PassEnd end = PassEnd::Done;
        if (fds[1].revents & POLLIN)
            end = readData(hangupSeen);
        else if (hangupSeen)
            end = PassEnd::HungUp;
        if (end == PassEnd::Stopped)
            break;
        if (end == PassEnd::HungUp) {
            // The device is gone (unplugged adapter, closed pseudo-terminal):
            // poll would report it again at once, so only the stop event is
            // worth waiting for now.
            StopEvent::waitFor(m_config.stopFd, UINT32_MAX);
            break;
        }
        checkLineErrors();
    }
    tty::purgeInput(fd);
}

void ReadThread::checkLineErrors()
{
    if (!m_haveCounts)
        return;
    LineErrorCounts now;
    if (!m_config.readErrorCounts(now) || now == m_counts)
        return;
    m_counts = now;
    // What arrived around a line error or a break cannot be trusted.
    tty::purgeInput(m_config.fd);
    if (m_config.lineError && !StopEvent::isSignalled(m_config.stopFd))
        m_config.lineError();
}

ReadThread::PassEnd ReadThread::readData(bool hangupSeen)
{
    const int fd = m_config.fd;
    const int stopFd = m_config.stopFd;
    const uint32_t cap = uint32_t(m_buffer.size());
    if (StopEvent::isSignalled(stopFd))
        return PassEnd::Stopped;
    if (tty::bytesWaiting(fd) == 0)
        return readWithoutCount(hangupSeen);

    do {
        uint32_t total = 0;
        bool hungUp = false;
        uint32_t n = std::min<uint32_t>(uint32_t(tty::bytesWaiting(fd)), cap);
        while (n > 0) {
            n = std::min(n, cap - total);
            const ssize_t got = ::read(fd, m_buffer.data() + total, n);
            if (got < 0 && errno != EAGAIN && errno != EINTR) {
                hungUp = errno == EIO;
                break;
            }
            // Pause so that the rest of a frame arrives, unless the bytes that
            // could come meanwhile might no longer fit.
            if (!noGapWait() && total + m_margin < cap
                && StopEvent::waitFor(stopFd, timeOut()))
                return PassEnd::Stopped;
            total += uint32_t(std::max<ssize_t>(got, 0));
            if (StopEvent::isSignalled(stopFd))
                return PassEnd::Stopped;
            const uint32_t waiting = uint32_t(tty::bytesWaiting(fd));
            n = std::min(waiting, cap);
            if (waiting == 0 || n + total + m_margin >= cap)
                break;
        }
        if (total > 0 && m_config.handOver)
            m_config.handOver(QByteArray(reinterpret_cast<const char *>(m_buffer.data()), int(total)));
        if (hungUp)
            return PassEnd::HungUp;
    } while (tty::bytesWaiting(fd) > 0);
    return PassEnd::Done;
}

// Readable but nothing counted: either bytes came in just now or the other end
// hung up (a closed pseudo-terminal master reads as EIO, a hung-up tty as 0;
// a raw tty also reads 0 when merely empty, hence the poll's hang-up flag).
ReadThread::PassEnd ReadThread::readWithoutCount(bool hangupSeen)
{
    const ssize_t got = ::read(m_config.fd, m_buffer.data(), m_buffer.size());
    if (got > 0) {
        if (m_config.handOver)
            m_config.handOver(QByteArray(reinterpret_cast<const char *>(m_buffer.data()), int(got)));
        return PassEnd::Done;
    }
    if (got < 0 && errno == EIO)
        return PassEnd::HungUp;
    return hangupSeen ? PassEnd::HungUp : PassEnd::Done;
}

} // namespace qv
