// The protocol component on a real pseudo-terminal: a full memory arriving
// at the speed of the line, and the response timeout of a silent meter.
#include "PtyHelpers.h"
#include "support/Frames.h"

#include "protocol/TComm32QV.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace qv;
using namespace qvtest;

TEST(ProtocolOverPty, FullMemoryArrivesWithItsProgress)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.valid());
    ListedPorts ports({pty.slavePath()});
    TComm32QV::ResetSharedState();
    TComm32QV comm(1, realTimePlatform(ports));
    QList<int> cells, perMille;
    int total = -1;
    QByteArray table;
    comm.OnProgressMemo = [&](int32_t t, int32_t cell, int32_t per) {
        total = t;
        cells << cell;
        perMille << per;
    };
    comm.OnReceiveMemo = [&](const uint8_t *buf, uint32_t n) {
        table = QByteArray(reinterpret_cast<const char *>(buf), qsizetype(n));
    };
    comm.setCOMPort(pty.slavePath());
    ASSERT_TRUE(comm.IsOpen());

    MemoryBlock block(512);
    for (int u = 0; u < 512; ++u) {
        Frame cell(0x00);
        cell.byte(7, 10).byte(8, 0x31).byte(10, 15).byte(30, 41).single(26, float(u)).clock();
        cell.text(48, "CELL            ");
        block.setCell(u, cell);
    }
    ASSERT_TRUE(pty.write(Frame(0x03).u32(26, block.size()).data()));
    ASSERT_TRUE(waitUntil([&] { return comm.InMemoryTransfer(); }));
    ASSERT_TRUE(pty.write(block.data()));
    ASSERT_TRUE(waitUntil([&] { return !table.isEmpty(); }, 20000));

    EXPECT_EQ(total, 512);
    ASSERT_FALSE(perMille.isEmpty());
    EXPECT_EQ(perMille.last(), 1000);
    EXPECT_EQ(cells.last(), 512);
    for (int i = 1; i < cells.size(); ++i)
        EXPECT_LE(cells[i - 1], cells[i]) << "progress goes forward";
    EXPECT_EQ(table.count("\r\n"), 512);
    EXPECT_TRUE(table.contains("\r\n512\t"));
    EXPECT_FALSE(comm.InMemoryTransfer());
}

TEST(ProtocolOverPty, SilentMeterLosesTheConnection)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.valid());
    ListedPorts ports({pty.slavePath()});
    TComm32QV::ResetSharedState();
    TComm32QV comm(1, realTimePlatform(ports));
    comm.setFixedRespTime(400);
    QStringList log;
    comm.OnCOMStatus = [&](int code, const QString &text) { log << QStringLiteral("%1 %2").arg(code).arg(text); };
    comm.OnRespTimeOver = [&] { log << "timeout"; };
    comm.setCOMPort(pty.slavePath());
    ASSERT_TRUE(comm.IsOpen());
    log.clear();
    comm.SendKey(kcI);
    EXPECT_EQ(pty.read(1), "I");
    ASSERT_TRUE(waitUntil([&] { return log.contains("timeout"); }, 5000));
    EXPECT_EQ(log, (QStringList{"2 Communication lost", "timeout"}));
}
