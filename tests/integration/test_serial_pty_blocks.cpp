// How received bytes are cut into blocks on a real tty: the TimeOut pause
// between reads, the margin rule, the SizeBufRXD cap, NoGapWait, a stop
// during a pause, and line errors.
#include "SerialPtyFixture.h"

#include "serial/ReadThread.h"
#include "serial/SerialDevice.h"
#include "serial/StopEvent.h"

#include <QScopeGuard>

using namespace qv;
using qvtest::waitUntil;
using Blocks = std::vector<QByteArray>;

namespace {

class ReceiveBlocks : public qvtest::SerialPtyTest {};

QByteArray pattern(int size, int seed = 0)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i + seed) % 251);
    return bytes;
}

} // namespace

// The far end writes a first part; once the program has read it (and is in
// its TimeOut pause) it waits `gapMs`, then writes the second part. At 9600
// 8N1 a 150 ms pause carries 144 bytes, so the margin is 216: with SizeBufRXD
// 1024 a pass goes on while read + waiting + 216 stays below 1024.
TEST(ReceiveBlockBoundaries, ThePauseAndTheMarginDecideWhereABlockEnds)
{
    const QByteArray p400 = pattern(400), q400 = pattern(400, 7), p450 = pattern(450), q450 = pattern(450, 7);
    struct Case { const char *name; uint16_t timeOut, raisedTo; QByteArray first; int gapMs; QByteArray second;
                  Blocks blocks; };
    const Case cases[] = {
        {"a frame in pieces within the pause", 200, 0, "%%\x02" "0123456", 0, "789abcdefghijk##",
         {"%%\x02" "0123456789abcdefghijk##"}},
        {"a quiet line ends the block", 20, 0, "ab", 120, "cd", {"ab", "cd"}},
        {"TimeOut raised while open", 20, 400, "ef", 120, "gh", {"efgh"}},
        {"the margin still fits", 150, 0, p400, 0, q400, {p400 + q400}},   // 1016 < 1024
        {"the margin would overflow", 150, 0, p450, 0, q450, {p450, q450}}, // 1116
    };
    for (const auto &c : cases) {
        qvtest::SerialPty r;
        r.comm.setTimeOut(c.timeOut);
        ASSERT_TRUE(r.openPort()) << c.name;
        r.log.clear();
        if (c.raisedTo) // while open
            r.comm.setTimeOut(c.raisedTo);
        ASSERT_TRUE(r.pty.write(c.first)) << c.name;
        ASSERT_TRUE(r.pty.waitTaken()) << c.name;
        qvtest::runEventLoopFor(c.gapMs);
        ASSERT_TRUE(r.pty.write(c.second)) << c.name;
        ASSERT_TRUE(r.waitForBytes(int(c.first.size() + c.second.size()))) << c.name;
        EXPECT_EQ(r.log.received, c.blocks) << c.name;
        // Connected for each block, and nothing else: TimeOut does not reopen.
        EXPECT_EQ(r.log.codes(), std::vector<int>(c.blocks.size(), stConnected)) << c.name;
    }
}

TEST_F(ReceiveBlocks, ABurstLongerThanTheBufferArrivesAsSeveralBlocksInOrder)
{
    comm.setSizeBufRXD(256);
    comm.setTimeOut(20);
    ASSERT_TRUE(openPort());
    const QByteArray burst = pattern(3000);
    ASSERT_TRUE(pty.write(burst));
    ASSERT_TRUE(waitForBytes(burst.size()));
    EXPECT_EQ(log.allReceived(), burst);
    EXPECT_GE(log.received.size(), 12u);
    for (const QByteArray &block : log.received)
        EXPECT_LE(block.size(), 256);
}

// Long pauses need a buffer large enough for their margin (at 9600 baud
// 1.5 x 960 bytes a second), or the margin rule leaves them out.
TEST_F(ReceiveBlocks, NoGapWaitHandsOverWithoutThePause)
{
    comm.setSizeBufRXD(60000);
    comm.setTimeOut(3000);
    comm.SetNoGapWait(true);
    ASSERT_TRUE(openPort());
    ASSERT_TRUE(pty.write("memory"));
    EXPECT_TRUE(waitForBytes(6, 2000)); // with the pause not before 3 s
}

TEST_F(ReceiveBlocks, AStopDuringAPauseEndsItAtOnceWithoutHandingOver)
{
    comm.setSizeBufRXD(60000);
    comm.setTimeOut(10000);
    ASSERT_TRUE(openPort());
    ASSERT_TRUE(pty.write("half a frame"));
    ASSERT_TRUE(pty.waitTaken()); // read and now pausing for 10 s
    closeAtOnce();
    EXPECT_EQ(log.codes().back(), stDisconnected);
    qvtest::runEventLoopFor(100);
    EXPECT_TRUE(log.received.empty());
}

// The receive thread on its own, with the driver's error counters replaced:
// a line error throws away what came with it and is reported; reading goes on.
TEST(ReceiveLineErrors, ALineErrorPurgesTheInputAndIsReportedThenReadingGoesOn)
{
    qvtest::PseudoTerminal pty;
    SerialDevice device;
    StopEvent stop;
    ASSERT_TRUE(pty.valid() && device.open(pty.slavePath()) && device.configure(LineSettings{}, false)
                && stop.create());
    Blocks blocks; // read only once the thread has ended
    std::atomic<int> errors{0}, handed{0};
    int countReads = 0; // on the receive thread only
    ReadThreadConfig config; // no TimeOut pause
    config.fd = device.fd();
    config.stopFd = stop.fd();
    config.handOver = [&](QByteArray block) { blocks.push_back(block); ++handed; };
    config.lineError = [&] { ++errors; };
    // The baseline, then one framing error seen at the first wake-up.
    config.readErrorCounts = [&](LineErrorCounts &out) {
        out = LineErrorCounts{};
        out.frame = countReads++ == 0 ? 0 : 1;
        return true;
    };
    {
        ReadThread reader(config);
        const auto stopAtEnd = qScopeGuard([&] { stop.signal(); });
        ASSERT_TRUE(pty.write("garbled"));
        ASSERT_TRUE(waitUntil([&] { return errors == 1; }));
        ASSERT_TRUE(pty.waitTaken()); // purged, not read
        ASSERT_TRUE(pty.write("clean"));
        ASSERT_TRUE(waitUntil([&] { return handed > 0; }));
    }
    EXPECT_EQ(errors.load(), 1);
    EXPECT_EQ(blocks, Blocks{"clean"});
}
