#include "engine/linespeed.h"

#include <termios.h>

namespace qvsim {

namespace {

struct RateCode {
    speed_t code;
    uint32_t bps;
};

const RateCode Rates[] = {
    {B50, 50}, {B75, 75}, {B110, 110}, {B134, 134}, {B150, 150}, {B200, 200}, {B300, 300},
    {B600, 600}, {B1200, 1200}, {B1800, 1800}, {B2400, 2400}, {B4800, 4800}, {B9600, 9600},
    {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}, {B230400, 230400},
    {B460800, 460800}, {B921600, 921600},
};

} // namespace

uint32_t lineBitsPerSecond(int fd)
{
    struct termios t;
    if (::tcgetattr(fd, &t) != 0)
        return 0;
    const speed_t code = ::cfgetospeed(&t);
    for (const RateCode &r : Rates)
        if (r.code == code)
            return r.bps;
    uint32_t bps = 0;  // set through the arbitrary-rate interface
    return readArbitraryRate(fd, bps) ? bps : 0;
}

bool setRawLine(int fd, uint32_t bitsPerSecond)
{
    struct termios t;
    if (::tcgetattr(fd, &t) != 0)
        return false;
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    for (const RateCode &r : Rates) {
        if (r.bps == bitsPerSecond) {
            ::cfsetspeed(&t, r.code);
            return ::tcsetattr(fd, TCSANOW, &t) == 0;
        }
    }
    return ::tcsetattr(fd, TCSANOW, &t) == 0 && setArbitraryRate(fd, bitsPerSecond);
}

} // namespace qvsim
