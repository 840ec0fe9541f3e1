#include "serial/SerialDevice.h"
#include "serial/VirtualPort.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace qv {

namespace {

// termios constants for the rates that have one; 0 for the rest.
speed_t speedConstant(uint32_t bitsPerSecond)
{
    switch (bitsPerSecond) {
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    case 460800: return B460800;
    case 921600: return B921600;
    default: return 0;
    }
}

tcflag_t characterSize(TDataBits bits)
{
    switch (bits) {
    case dbFive: return CS5;
    case dbSix: return CS6;
    case dbSeven: return CS7;
    default: return CS8;
    }
}

tcflag_t parityFlags(TParityBit parity)
{
    switch (parity) {
    case pbOdd: return PARENB | PARODD;
    case pbEven: return PARENB;
    case pbMark: return PARENB | CMSPAR | PARODD;
    case pbSpace: return PARENB | CMSPAR;
    default: return 0;
    }
}

} // namespace

SerialDevice::~SerialDevice()
{
    close();
}

bool SerialDevice::open(const QString &path)
{
    close();
    // A simulated meter's link outlives a publisher that was killed, and its
    // pseudo-terminal may since belong to another program: such a port is gone.
    if (virtualPortState(path) == VirtualPortState::Gone) {
        m_lastError = ENOENT;
        return false;
    }
    const QByteArray native = path.toLocal8Bit();
    int fd;
    do {
        fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        m_lastError = errno;
        return false;
    }
    // flock keeps out every program that asks politely (and other instances of
    // this one); TIOCEXCL refuses further opens of the tty to everyone but root.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
        m_lastError = errno;
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_lastError = 0;
    return true;
}

bool SerialDevice::configure(const LineSettings &s, bool rtsCtsHandshake)
{
    if (m_fd < 0) {
        m_lastError = EBADF;
        return false;
    }
    if (s.dataBits == dbFour || s.baudRate >= BaudRateCount) {
        m_lastError = EINVAL;
        return false;
    }
    termios t;
    if (::tcgetattr(m_fd, &t) != 0) {
        m_lastError = errno;
        return false;
    }
    ::cfmakeraw(&t);
    // No software flow control and no parity checking: every byte reaches the
    // receiver as it came off the line.
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK | IGNBRK | BRKINT);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD | characterSize(s.dataBits) | parityFlags(s.parity);
    if (s.stopBits != sbOne)
        t.c_cflag |= CSTOPB; // 1.5 stop bits exist only with 5-bit characters; Linux has 2.
    if (rtsCtsHandshake)
        t.c_cflag |= CRTSCTS;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;

    const uint32_t rate = BaudRateValues[s.baudRate];
    const speed_t constant = speedConstant(rate);
    // A rate without a constant is set through termios2 after the rest.
    const speed_t placeholder = constant ? constant : B38400;
    ::cfsetispeed(&t, placeholder);
    ::cfsetospeed(&t, placeholder);
    if (::tcsetattr(m_fd, TCSANOW, &t) != 0) {
        m_lastError = errno;
        return false;
    }
    if (!constant && !tty::setArbitraryBaudRate(m_fd, rate)) {
        m_lastError = errno;
        return false;
    }
    m_lastError = 0;
    return true;
}

void SerialDevice::close()
{
    if (m_fd < 0)
        return;
    // TIOCEXCL outlives this descriptor while anyone else holds the tty open
    // (a simulator's pseudo-terminal): give it up, or the next Open is refused.
    (void)::ioctl(m_fd, TIOCNXCL);
    ::close(m_fd); // also releases the flock
    m_fd = -1;
}

SerialDevice::OpenFailure SerialDevice::classify(int errnum)
{
    switch (errnum) {
    case EBUSY:
    case EWOULDBLOCK:
        return OpenFailure::Busy;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return OpenFailure::NotFound;
    default:
        return OpenFailure::Other;
    }
}

void SerialDevice::setModemLine(int line, bool on)
{
    if (m_fd < 0)
        return;
    int bits = line;
    // A pty answers EINVAL or ENOTTY: it has no modem lines to drive.
    (void)::ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &bits);
}

bool SerialDevice::modemStatus(int &bits) const
{
    bits = 0;
    return m_fd >= 0 && ::ioctl(m_fd, TIOCMGET, &bits) == 0;
}

namespace tty {

int bytesWaiting(int fd)
{
    int n = 0;
    if (::ioctl(fd, FIONREAD, &n) != 0 || n < 0)
        return 0;
    return n;
}

void purgeInput(int fd)
{
    ::tcflush(fd, TCIFLUSH);
}

void purgeOutput(int fd)
{
    ::tcflush(fd, TCOFLUSH);
}

bool readLineErrorCounts(int fd, LineErrorCounts &out)
{
    serial_icounter_struct c{};
    if (::ioctl(fd, TIOCGICOUNT, &c) != 0)
        return false;
    out.frame = uint32_t(c.frame);
    out.parity = uint32_t(c.parity);
    out.overrun = uint32_t(c.overrun);
    out.breaks = uint32_t(c.brk);
    out.bufferOverrun = uint32_t(c.buf_overrun);
    return true;
}

} // namespace tty

} // namespace qv
