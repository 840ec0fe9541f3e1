// A thin POSIX layer over one tty: exclusive open, raw line settings, modem
// lines, purging and the driver's line-error counters. Everything the threads
// need works on the bare descriptor, so they hold no reference to this object.
#pragma once

#include "serial/LineSettings.h"

#include <QString>

#include <cstdint>

namespace qv {

// What the driver has counted of line errors and breaks since it started.
struct LineErrorCounts {
    uint64_t frame = 0;
    uint64_t parity = 0;
    uint64_t overrun = 0;
    uint64_t breaks = 0;
    uint64_t bufferOverrun = 0;
    bool operator==(const LineErrorCounts &o) const
    {
        return frame == o.frame && parity == o.parity && overrun == o.overrun
            && breaks == o.breaks && bufferOverrun == o.bufferOverrun;
    }
    bool operator!=(const LineErrorCounts &o) const { return !(*this == o); }
};

class SerialDevice {
public:
    // How an open failure is reported to the user.
    enum class OpenFailure { Busy, NotFound, Other };

    SerialDevice() = default;
    ~SerialDevice();
    SerialDevice(const SerialDevice &) = delete;
    SerialDevice &operator=(const SerialDevice &) = delete;

    // Opens `path` for reading and writing without blocking and without
    // making it the controlling terminal, and takes it for exclusive use
    // (flock plus TIOCEXCL). On failure the errno is in lastError().
    bool open(const QString &path);
    // A raw line with these settings; reads return at once with what is
    // there. RTS/CTS handshake is done by the driver. 4 data bits do not
    // exist on Linux and fail with EINVAL.
    bool configure(const LineSettings &settings, bool rtsCtsHandshake);
    void close();

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    int lastError() const { return m_lastError; }

    static OpenFailure classify(int errnum);

    // Raises or drops a modem line (TIOCM_RTS, TIOCM_DTR). A pseudo-terminal
    // has no modem lines: that is not an error, the call does nothing.
    void setModemLine(int line, bool on);
    // The modem lines (TIOCM_* bits); false when the driver has none.
    bool modemStatus(int &bits) const;

private:
    int m_fd = -1;
    int m_lastError = 0;
};

namespace tty {

// Bytes waiting to be read (FIONREAD); 0 when the driver cannot say.
int bytesWaiting(int fd);
void purgeInput(int fd);
void purgeOutput(int fd);
// The driver's error counters (TIOCGICOUNT); false where the driver has none
// (pseudo-terminals, most USB adapters).
bool readLineErrorCounts(int fd, LineErrorCounts &out);

// Rates without a termios constant (14400) go through the kernel's
// arbitrary-rate interface (termios2, BOTHER).
bool setArbitraryBaudRate(int fd, uint32_t bitsPerSecond);
// The rate a tty is set to in bit/s, arbitrary rates included. On the master
// side of a pseudo-terminal this reads the slave's setting.
bool readBaudRate(int fd, uint32_t &bitsPerSecond);

} // namespace tty

} // namespace qv
