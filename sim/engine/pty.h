// Serves a MeterEngine on a tty: a new pseudo-terminal whose slave side the
// program opens, or an existing serial device. One thread runs a poll loop
// that feeds the engine the program's bytes, moves its clock on, and writes
// its frames no faster than the line rate (unless told to hurry), spoiling
// bytes now and then when asked to simulate a poor line, and unplugging and
// plugging the port back in when asked to.
#pragma once

#include "engine/engine.h"
#include "engine/linefaults.h"

#include <csignal>
#include <cstdint>
#include <functional>
#include <string>

namespace qvsim {

struct ServeOptions {
    bool fast = false;   // write at once instead of at the line rate
    double noise = 0;    // chance of one flipped bit in each byte sent
    double drop = 0;     // chance of each byte sent being lost
    uint32_t seed = 1;   // for the noise and the drops
    uint32_t faultsForMs = 0;   // noise and drops only this long after the start (0: all along)
    // The port vanishes this long after the start, as an unplugged adapter
    // does (0: never), and comes back this long after it vanished (0: never).
    uint32_t vanishAfterMs = 0;
    uint32_t returnAfterMs = 0;
    // A line rate other than the meter's own, in bit/s (0: the meter's):
    // bytes are paced at it, and a program line set to it counts as the
    // meter's rate. A real meter offers 1200 to 9600 bit/s only; benchmarks
    // use this to see the program keep up with much faster lines.
    uint32_t lineRate = 0;
};

class PortServer {
public:
    PortServer(MeterEngine &engine, const ServeOptions &options);
    ~PortServer();
    PortServer(const PortServer &) = delete;
    PortServer &operator=(const PortServer &) = delete;

    // A new pseudo-terminal; slavePath() names the side the program opens.
    bool openPty(std::string &error);
    // An existing tty, set to the meter's rate; its line always counts as matching.
    bool openDevice(const std::string &path, std::string &error);
    const std::string &slavePath() const { return m_slavePath; }

    // Serves until stop() is called. stop() may be called from a signal handler.
    void run();
    void stop();

    // Raised on the serving thread once the port has gone (its terminal is
    // closed) and once it is back (slavePath() names the new terminal).
    std::function<void()> onVanished;
    std::function<void()> onReturned;
    const LineFaults &lineFaults() const { return m_faults; }

private:
    bool openTty(std::string &error);
    void vanishOrReturn();
    void updateLine(bool hungUp);
    void readInput();
    void writeOutput(uint32_t elapsedMs);
    uint32_t pacedRate() const;

    MeterEngine &m_engine;
    ServeOptions m_options;
    int m_fd = -1;
    int m_wake[2] = {-1, -1};
    bool m_isPty = false;
    uint32_t m_deviceRate = 0;
    std::string m_devicePath;  // the tty served, when not a pty of our own
    std::string m_slavePath;
    uint64_t m_elapsedMs = 0;  // since run() started
    bool m_vanished = false;
    bool m_returned = false;
    volatile std::sig_atomic_t m_stop = 0;
    Bytes m_pending;   // taken from the engine, not yet written
    double m_credit = 0;
    LineFaults m_faults;
};

} // namespace qvsim
