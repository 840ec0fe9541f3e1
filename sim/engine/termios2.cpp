// The termios2 side of linespeed.h: rates that have no B constant.
#include "engine/linespeed.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace qvsim {

bool readArbitraryRate(int fd, uint32_t &bitsPerSecond)
{
    struct termios2 t;
    if (::ioctl(fd, TCGETS2, &t) != 0)
        return false;
    bitsPerSecond = t.c_ospeed;
    return true;
}

bool setArbitraryRate(int fd, uint32_t bitsPerSecond)
{
    struct termios2 t;
    if (::ioctl(fd, TCGETS2, &t) != 0)
        return false;
    t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = t.c_ospeed = bitsPerSecond;
    return ::ioctl(fd, TCSETS2, &t) == 0;
}

} // namespace qvsim
