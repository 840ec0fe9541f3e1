// The kernel's arbitrary-rate interface. <asm/termbits.h> defines its own
// struct termios and clashes with <termios.h>, so it lives alone in this file.
#include "serial/SerialDevice.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace qv::tty {

bool setArbitraryBaudRate(int fd, uint32_t bitsPerSecond)
{
    struct termios2 t;
    if (::ioctl(fd, TCGETS2, &t) != 0)
        return false;
    t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = bitsPerSecond;
    t.c_ospeed = bitsPerSecond;
    return ::ioctl(fd, TCSETS2, &t) == 0;
}

bool readBaudRate(int fd, uint32_t &bitsPerSecond)
{
    struct termios2 t;
    if (::ioctl(fd, TCGETS2, &t) != 0)
        return false;
    bitsPerSecond = t.c_ospeed;
    return true;
}

} // namespace qv::tty
