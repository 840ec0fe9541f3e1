// A serial component on the real clock and Qt timers whose only port is the
// slave side of a fresh pseudo-terminal.
#pragma once

#include "PtyHelpers.h"
#include "serial/SerialTestSupport.h"

#include <gtest/gtest.h>

namespace qvtest {

struct SerialPty {
    SerialPty() { record(comm, log); }

    bool openPort()
    {
        comm.setCOMPort(pty.slavePath());
        return pty.valid() && comm.IsOpen();
    }
    bool waitForBytes(int count, int timeoutMs = 5000)
    {
        return waitUntil([&] { return log.allReceived().size() >= count; }, timeoutMs);
    }
    // Close must not wait for a thread stuck in a pause, a write or a hang-up.
    void closeAtOnce()
    {
        QElapsedTimer clock;
        clock.start();
        comm.Close();
        EXPECT_LT(clock.elapsed(), 2000);
        EXPECT_FALSE(comm.IsOpen());
    }

    PseudoTerminal pty;
    ListedPorts ports{{pty.slavePath()}};
    EventLog log;
    TestComm comm{1, realTimePlatform(ports)}; // declared last: goes first
};

class SerialPtyTest : public ::testing::Test, protected SerialPty {};

} // namespace qvtest
