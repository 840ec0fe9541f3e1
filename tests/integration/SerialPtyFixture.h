// A serial component on the real clock and Qt timers whose only port is the
// slave side of a fresh pseudo-terminal.
#pragma once

#include "PtyHelpers.h"
#include "serial/SerialTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace qvtest {

class SerialPtyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.valid());
        ports.names = {pty.slavePath()};
        comm = std::make_unique<TestComm>(1, realTimePlatform(ports));
        record(*comm, log);
    }

    bool openPort()
    {
        comm->setCOMPort(pty.slavePath());
        return comm->IsOpen();
    }

    QByteArray allReceived() const
    {
        QByteArray all;
        for (const QByteArray &block : log.received)
            all += block;
        return all;
    }
    bool waitForBlocks(size_t count, int timeoutMs = 5000)
    {
        return waitUntil([&] { return log.received.size() >= count; }, timeoutMs);
    }
    bool waitForBytes(int count, int timeoutMs = 5000)
    {
        return waitUntil([&] { return allReceived().size() >= count; }, timeoutMs);
    }

    PseudoTerminal pty;
    ListedPorts ports;
    EventLog log;
    std::unique_ptr<TestComm> comm; // declared last: goes first
};

} // namespace qvtest
