// How received bytes are cut into blocks on a real tty: the TimeOut pause
// between reads, the margin rule, the SizeBufRXD cap, NoGapWait, and a stop
// during a pause.
#include "SerialPtyFixture.h"

#include "serial/ReadThread.h"
#include "serial/SerialDevice.h"
#include "serial/StopEvent.h"

#include <QElapsedTimer>

#include <mutex>

using namespace qv;
using qvtest::waitUntil;

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

TEST_F(ReceiveBlocks, ThePauseJoinsAFrameArrivingInPieces)
{
    comm->setTimeOut(200);
    ASSERT_TRUE(openPort());
    ASSERT_TRUE(pty.write("%%\x02" "0123456"));
    ASSERT_TRUE(pty.waitTaken()); // the receive thread is now pausing
    ASSERT_TRUE(pty.write("789abcdefghijk##"));
    ASSERT_TRUE(waitForBlocks(1));
    qvtest::runEventLoopFor(300);
    ASSERT_EQ(log.received.size(), 1u);
    EXPECT_EQ(log.received[0], QByteArray("%%\x02" "0123456789abcdefghijk##"));
}

TEST_F(ReceiveBlocks, AQuietLineEndsTheBlock)
{
    comm->setTimeOut(20);
    ASSERT_TRUE(openPort());
    ASSERT_TRUE(pty.write("first"));
    ASSERT_TRUE(waitForBlocks(1));
    ASSERT_TRUE(pty.write("second"));
    ASSERT_TRUE(waitForBlocks(2));
    EXPECT_EQ(log.received, (std::vector<QByteArray>{"first", "second"}));
}

// At 9600 8N1 a 150 ms pause carries 144 bytes: the margin is 216. With
// SizeBufRXD 1024 a pass goes on while read + waiting + 216 stays below 1024.
TEST_F(ReceiveBlocks, ThePassGoesOnWhileTheMarginStillFits)
{
    comm->setTimeOut(150);
    ASSERT_TRUE(openPort());
    const QByteArray first = pattern(400), second = pattern(400, 7);
    ASSERT_TRUE(pty.write(first));
    ASSERT_TRUE(pty.waitTaken());
    ASSERT_TRUE(pty.write(second)); // 400 + 400 + 216 = 1016 < 1024
    ASSERT_TRUE(waitForBytes(800));
    qvtest::runEventLoopFor(200);
    ASSERT_EQ(log.received.size(), 1u);
    EXPECT_EQ(log.received[0], first + second);
}

TEST_F(ReceiveBlocks, TheMarginHandsTheBlockOverBeforeItCouldOverflow)
{
    comm->setTimeOut(150);
    ASSERT_TRUE(openPort());
    const QByteArray first = pattern(450), second = pattern(450, 7);
    ASSERT_TRUE(pty.write(first));
    ASSERT_TRUE(pty.waitTaken());
    ASSERT_TRUE(pty.write(second)); // 450 + 450 + 216 = 1116: not in this block
    ASSERT_TRUE(waitForBytes(900));
    EXPECT_EQ(log.received, (std::vector<QByteArray>{first, second}));
}

TEST_F(ReceiveBlocks, ABurstLongerThanTheBufferArrivesAsSeveralBlocksInOrder)
{
    comm->setSizeBufRXD(256);
    comm->setTimeOut(20);
    ASSERT_TRUE(openPort());
    const QByteArray burst = pattern(3000);
    ASSERT_TRUE(pty.write(burst));
    ASSERT_TRUE(waitForBytes(burst.size()));
    EXPECT_EQ(allReceived(), burst);
    EXPECT_GE(log.received.size(), 12u);
    for (const QByteArray &block : log.received)
        EXPECT_LE(block.size(), 256);
}

// Long pauses need a buffer large enough for their margin (at 9600 baud
// 1.5 x 960 bytes a second), or the margin rule leaves them out.

TEST_F(ReceiveBlocks, NoGapWaitHandsOverWithoutThePause)
{
    comm->setSizeBufRXD(60000);
    comm->setTimeOut(3000);
    comm->SetNoGapWait(true);
    ASSERT_TRUE(openPort());
    ASSERT_TRUE(pty.write("memory"));
    // With the pause the block could not come before 3 s.
    EXPECT_TRUE(waitForBlocks(1, 2000));
    comm->SetNoGapWait(false);
}

TEST_F(ReceiveBlocks, TimeOutChangedWhileOpenChangesThePause)
{
    comm->setTimeOut(20);
    ASSERT_TRUE(openPort());
    log.clear();

    ASSERT_TRUE(pty.write("ab"));
    ASSERT_TRUE(pty.waitTaken());
    qvtest::runEventLoopFor(120); // well past a 20 ms pause
    ASSERT_TRUE(pty.write("cd"));
    ASSERT_TRUE(waitForBlocks(2));
    EXPECT_EQ(log.received, (std::vector<QByteArray>{"ab", "cd"}));

    const size_t statusesBefore = log.statuses.size();
    comm->setTimeOut(400);
    EXPECT_TRUE(comm->IsOpen());
    EXPECT_EQ(log.statuses.size(), statusesBefore) << "setting TimeOut must not reopen the port";
    ASSERT_TRUE(pty.write("ef"));
    ASSERT_TRUE(pty.waitTaken());
    qvtest::runEventLoopFor(120); // well within a 400 ms pause
    ASSERT_TRUE(pty.write("gh"));
    ASSERT_TRUE(waitForBlocks(3));
    EXPECT_EQ(log.received.back(), QByteArray("efgh"));
}

TEST_F(ReceiveBlocks, AStopDuringAPauseEndsItAtOnceWithoutHandingOver)
{
    comm->setSizeBufRXD(60000);
    comm->setTimeOut(10000);
    ASSERT_TRUE(openPort());
    ASSERT_TRUE(pty.write("half a frame"));
    ASSERT_TRUE(pty.waitTaken()); // read and now pausing for 10 s

    QElapsedTimer clock;
    clock.start();
    comm->Close();
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(comm->IsOpen());
    EXPECT_EQ(log.codes().back(), stDisconnected);
    qvtest::runEventLoopFor(100);
    EXPECT_TRUE(log.received.empty());
}

// The receive thread on its own, with the driver's error counters replaced:
// a line error throws away what came with it and is reported; reading goes on.
TEST(ReceiveLineErrors, ALineErrorPurgesTheInputAndIsReportedThenReadingGoesOn)
{
    qvtest::PseudoTerminal pty;
    ASSERT_TRUE(pty.valid());
    SerialDevice device;
    ASSERT_TRUE(device.open(pty.slavePath()));
    ASSERT_TRUE(device.configure(LineSettings{}, false));
    StopEvent stop;
    ASSERT_TRUE(stop.create());

    std::mutex mutex;
    std::vector<QByteArray> blocks;
    int errors = 0;
    int countReads = 0;
    std::atomic<uint16_t> timeOut{20};
    std::atomic<bool> noGap{false};
    ReadThreadConfig config;
    config.fd = device.fd();
    config.stopFd = stop.fd();
    config.timeOut = &timeOut;
    config.noGapWait = &noGap;
    config.handOver = [&](QByteArray block) {
        std::lock_guard<std::mutex> lock(mutex);
        blocks.push_back(block);
    };
    config.lineError = [&] {
        std::lock_guard<std::mutex> lock(mutex);
        ++errors;
    };
    // The baseline, then one framing error seen at the first wake-up.
    config.readErrorCounts = [&](LineErrorCounts &out) {
        std::lock_guard<std::mutex> lock(mutex);
        out = LineErrorCounts{};
        out.frame = countReads++ == 0 ? 0 : 1;
        return true;
    };
    {
        ReadThread reader(config);
        ASSERT_TRUE(pty.write("garbled"));
        ASSERT_TRUE(waitUntil([&] {
            std::lock_guard<std::mutex> lock(mutex);
            return errors == 1;
        }));
        ASSERT_TRUE(pty.waitTaken()); // purged, not read
        ASSERT_TRUE(pty.write("clean"));
        ASSERT_TRUE(waitUntil([&] {
            std::lock_guard<std::mutex> lock(mutex);
            return !blocks.empty();
        }));
        stop.signal();
    }
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(blocks, std::vector<QByteArray>{"clean"});
}
