#include "engine/pty.h"

#include "engine/linespeed.h"

#include "serial/Clock.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace qvsim {

namespace {
constexpr int PollMs = 5;          // the engine's timers run at this granularity
constexpr double BurstBytes = 16;  // the most a paced line catches up at once
} // namespace

PortServer::PortServer(MeterEngine &engine, const ServeOptions &options)
    : m_engine(engine), m_options(options), m_faults(options.noise, options.drop, options.seed)
{
    if (::pipe2(m_wake, O_NONBLOCK | O_CLOEXEC) != 0)
        m_wake[0] = m_wake[1] = -1;
}

PortServer::~PortServer()
{
    for (int fd : {m_fd, m_wake[0], m_wake[1]})
        if (fd >= 0)
            ::close(fd);
}

bool PortServer::openPty(std::string &error)
{
    m_devicePath.clear();
    return openTty(error);
}

bool PortServer::openDevice(const std::string &path, std::string &error)
{
    m_devicePath = path;
    return openTty(error);
}

bool PortServer::openTty(std::string &error)
{
    if (!m_devicePath.empty()) {
        const std::string &path = m_devicePath;
        m_fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0) {
            error = "cannot open " + path + ": " + std::strerror(errno);
            return false;
        }
        m_deviceRate = m_engine.bitsPerSecond();
        if (!setRawLine(m_fd, m_deviceRate)) {
            error = "cannot set the line of " + path + ": " + std::strerror(errno);
            return false;
        }
        m_slavePath = path;
        m_isPty = false;
        return true;
    }
    m_fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    char name[128];
    if (m_fd < 0 || ::grantpt(m_fd) != 0 || ::unlockpt(m_fd) != 0 || ::ptsname_r(m_fd, name, sizeof name) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    m_slavePath = name;
    m_isPty = true;
    // Raw from the start, so that nothing the meter sends is echoed back to
    // it; the rate stays the system's default until the program sets its own.
    const uint32_t rate = lineBitsPerSecond(m_fd);
    setRawLine(m_fd, rate ? rate : 38400);
    return true;
}

// The unplugged adapter: its tty closes (the program's end hangs up) and the
// owner removes its entry; plugged back in, a new tty under the same entry.
void PortServer::vanishOrReturn()
{
    const uint64_t vanishAt = m_options.vanishAfterMs;
    if (!vanishAt || m_returned)
        return;
    if (!m_vanished && m_elapsedMs >= vanishAt) {
        m_vanished = true;
        ::close(m_fd);
        m_fd = -1;
        m_pending.clear();
        m_engine.setProgramRate(0);
        if (onVanished)
            onVanished();
    } else if (m_vanished && m_options.returnAfterMs && m_elapsedMs >= vanishAt + m_options.returnAfterMs) {
        std::string error;
        if (!openTty(error))
            return;  // tried again at the next turn
        m_vanished = false;
        m_returned = true;
        if (onReturned)
            onReturned();
    }
}

void PortServer::stop()
{
    m_stop = 1;
    if (m_wake[1] >= 0) {
        const char c = 0;
        [[maybe_unused]] ssize_t n = ::write(m_wake[1], &c, 1);
    }
}

void PortServer::run()
{
    uint32_t last = qv::systemClock().ticks();
    bool hungUp = false;
    while (!m_stop) {
        pollfd fds[2] = {{m_fd, short(hungUp ? 0 : POLLIN), 0}, {m_wake[0], POLLIN, 0}};
        ::poll(fds, 2, PollMs);
        if (m_stop)
            break;
        const uint32_t now = qv::systemClock().ticks();
        const uint32_t elapsed = now - last;
        last = now;
        m_elapsedMs += elapsed;
        vanishOrReturn();
        if (m_fd < 0) {
            // Unplugged: the meter runs on, and what it says is lost.
            m_engine.advance(elapsed);
            m_engine.takeOutput();
            continue;
        }
        // A pty master reports a hang-up while no program holds the slave open.
        hungUp = m_isPty && (fds[0].revents & POLLHUP);
        if (hungUp)
            ::poll(fds, 0, PollMs);  // nothing to wait on: do not spin
        updateLine(hungUp);
        m_engine.advance(elapsed);
        if (!hungUp && (fds[0].revents & POLLIN))
            readInput();
        writeOutput(elapsed);
    }
}

void PortServer::updateLine(bool hungUp)
{
    if (!m_isPty) {
        // A real line: follow the meter when its RS 232 menu changes the rate.
        if (m_engine.bitsPerSecond() != m_deviceRate && setRawLine(m_fd, m_engine.bitsPerSecond()))
            m_deviceRate = m_engine.bitsPerSecond();
        m_engine.setProgramRate(m_engine.bitsPerSecond());
        return;
    }
    if (hungUp) {
        // Nobody listens: what the meter says is lost, not kept for the next opener.
        m_engine.setProgramRate(0);
        m_engine.takeOutput();
        m_pending.clear();
        return;
    }
    const uint32_t programRate = lineBitsPerSecond(m_fd);
    if (m_options.lineRate)
        m_engine.setProgramRate(programRate == m_options.lineRate ? m_engine.bitsPerSecond() : 0);
    else
        m_engine.setProgramRate(programRate);
}

uint32_t PortServer::pacedRate() const
{
    return m_options.lineRate ? m_options.lineRate : m_engine.bitsPerSecond();
}

void PortServer::readInput()
{
    uint8_t buf[256];
    for (;;) {
        const ssize_t n = ::read(m_fd, buf, sizeof buf);
        if (n <= 0)
            return;
        m_engine.receive(buf, size_t(n));
    }
}

void PortServer::writeOutput(uint32_t elapsedMs)
{
    size_t room;
    if (m_options.fast) {
        room = 4096;
    } else {
        // Ten bit times a byte: start, eight data bits, stop. A fast line may
        // catch up a few poll periods at once, a slow one a few bytes.
        const double perMs = pacedRate() / 10.0 / 1000.0;
        m_credit = std::min(m_credit + perMs * elapsedMs, std::max(BurstBytes, perMs * 4 * PollMs));
        room = size_t(m_credit);
    }
    if (m_pending.size() < room) {
        Bytes more = m_engine.takeOutput(room - m_pending.size());
        if (!m_options.faultsForMs || m_elapsedMs < m_options.faultsForMs)
            m_faults.apply(more);
        m_pending.insert(m_pending.end(), more.begin(), more.end());
    }
    if (m_pending.empty()) {
        m_credit = std::min(m_credit, 1.0);  // an idle line saves up no burst
        return;
    }
    const size_t limit = m_options.fast ? m_pending.size() : std::min(m_pending.size(), room);
    if (limit == 0)
        return;
    const ssize_t n = ::write(m_fd, m_pending.data(), limit);
    if (n <= 0)
        return;
    m_pending.erase(m_pending.begin(), m_pending.begin() + n);
    if (!m_options.fast)
        m_credit = std::max(0.0, m_credit - double(n));
}

} // namespace qvsim
