#include "serial/StopEvent.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace qv {

StopEvent::~StopEvent()
{
    close();
}

bool StopEvent::create()
{
    close();
    m_fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    return m_fd >= 0;
}

void StopEvent::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void StopEvent::signal()
{
    if (m_fd < 0)
        return;
    // The counter is never read back, so the event stays readable (signalled).
    const uint64_t one = 1;
    ssize_t written;
    do {
        written = ::write(m_fd, &one, sizeof one);
    } while (written < 0 && errno == EINTR);
}

bool StopEvent::waitFor(int fd, uint32_t ms)
{
    if (fd < 0)
        return true;
    pollfd p{fd, POLLIN, 0};
    const int timeout = ms > uint32_t(INT32_MAX) ? -1 : int(ms);
    int rc;
    do {
        rc = ::poll(&p, 1, timeout);
    } while (rc < 0 && errno == EINTR);
    return rc != 0;
}

bool StopEvent::isSignalled(int fd)
{
    return waitFor(fd, 0);
}

} // namespace qv

