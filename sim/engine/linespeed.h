// The rate a tty's line is set to, in bit/s, whichever way it was set.
#pragma once

#include <cstdint>

namespace qvsim {

// The output rate of the line behind `fd` (for a pty master: the rate the
// program set on its slave side); 0 when it cannot be read.
uint32_t lineBitsPerSecond(int fd);
// Sets a raw 8N1 line at `bitsPerSecond`; false when the tty refuses.
bool setRawLine(int fd, uint32_t bitsPerSecond);

// The kernel's arbitrary-rate record; lives alone in termios2.cpp because
// <asm/termbits.h> and <termios.h> cannot meet in one file.
bool readArbitraryRate(int fd, uint32_t &bitsPerSecond);
bool setArbitraryRate(int fd, uint32_t bitsPerSecond);

} // namespace qvsim
