// Serial components on the real clock and Qt timers over real ttys: opening,
// configuring and closing (line settings as the driver sees them, busy ports,
// reuse of descriptors, sending, a far end that goes), and how received bytes
// are cut into blocks (the TimeOut pause between reads, the margin rule, the
// SizeBufRXD cap, NoGapWait, a stop during a pause, and line errors).
#include "PtyHelpers.h"

#include "serial/ReadThread.h"
#include "serial/SerialDevice.h"
#include "serial/StopEvent.h"

#include <QScopeGuard>

#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <sys/file.h>

using namespace qv;
using qvtest::waitUntil;
using Blocks = std::vector<QByteArray>;

namespace {

// A component whose only port is the slave side of a fresh pseudo-terminal.
struct SerialPty {
    SerialPty() { qvtest::record(comm, log); }

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

    qvtest::PseudoTerminal pty;
    qvtest::ListedPorts ports{{pty.slavePath()}};
    qvtest::EventLog log;
    qvtest::TestComm comm{1, qvtest::realTimePlatform(ports)}; // declared last: goes first
};

class PortOpen : public ::testing::Test, protected SerialPty {};
using ReceiveBlocks = PortOpen;

QByteArray pattern(int size, int seed = 0)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i + seed) % 251);
    return bytes;
}

} // namespace

// Each row changes the open port's settings (which reopens it) and reads the
// line back from the master side. A pseudo-terminal always keeps 8 bits
// without parity (the pty driver clears CSIZE and PARENB); the parity kind,
// stop bits, handshake and rate show.
TEST_F(PortOpen, OpensRawAndTheLineSettingsReachTheDriver)
{
    ASSERT_TRUE(openPort());
    EXPECT_EQ(log.statuses.back(), std::make_pair(int(stConnected), QString("Connected")));
    EXPECT_EQ(comm.OpenedPort(), pty.slavePath());
    using Set = std::function<void(TComm32VN &)>;
    struct Case { const char *name; Set set; tcflag_t parity; bool twoStopBits, rtsCts; uint32_t rate; };
    const Case cases[] = {
        {"9600 8N1 by default", nullptr, 0, false, false, 9600},
        {"mark, 2 stop bits, RTS/CTS",
         [](TComm32VN &c) { c.setParity(pbMark); c.setStopBits(sbTwo); c.setFlowRTS_CTS(true); },
         PARODD | CMSPAR, true, true, 9600},
        {"space, 1.5 stop bits as 2",
         [](TComm32VN &c) { c.setParity(pbSpace); c.setStopBits(sbOnePointFive); c.setFlowRTS_CTS(false); },
         CMSPAR, true, false, 9600},
        {"odd, 1 stop bit", [](TComm32VN &c) { c.setParity(pbOdd); c.setStopBits(sbOne); },
         PARODD, 0, 0, 9600},
        {"14400 has no termios constant", [](TComm32VN &c) { c.setBaudRate(br014400); }, PARODD, 0, 0, 14400},
        {"921600", [](TComm32VN &c) { c.setBaudRate(br921600); }, PARODD, 0, 0, 921600},
    };
    for (const auto &c : cases) {
        if (c.set)
            c.set(comm);
        ASSERT_TRUE(comm.IsOpen()) << c.name;
        termios t{};
        ASSERT_EQ(::tcgetattr(pty.masterFd(), &t), 0);
        EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8)) << c.name;
        EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u) << c.name;
        EXPECT_EQ(t.c_iflag & (IXON | ICRNL), 0u) << c.name;
        EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR), c.parity) << c.name;
        EXPECT_EQ(bool(t.c_cflag & CSTOPB), c.twoStopBits) << c.name;
        EXPECT_EQ(bool(t.c_cflag & CRTSCTS), c.rtsCts) << c.name;
        uint32_t rate = 0;
        ASSERT_TRUE(tty::readBaudRate(pty.masterFd(), rate));
        EXPECT_EQ(rate, c.rate) << c.name;
    }
}

TEST_F(PortOpen, FourDataBitsAreAPortError)
{
    comm.setDataBits(dbFour);
    EXPECT_FALSE(openPort());
    EXPECT_EQ(log.codes().back(), stPortError);
    EXPECT_TRUE(comm.LastErrorHint().contains("4 data bits"));
    EXPECT_EQ(comm.COMPort(), pty.slavePath());
}

TEST_F(PortOpen, APortHeldByAnotherProgramIsBusyAndKeepsItsName)
{
    const int other = ::open(pty.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(openPort());
    EXPECT_EQ(log.statuses.back(), std::make_pair(int(stBusy), QString("Busy")));
    EXPECT_EQ(comm.COMPort(), pty.slavePath());
    EXPECT_EQ(comm.PortIndex(), 1);
    EXPECT_FALSE(comm.LastErrorHint().isEmpty());
    ::close(other); // the other program quits
    comm.Loaded();
    EXPECT_TRUE(comm.IsOpen());
    EXPECT_TRUE(comm.LastErrorHint().isEmpty());
    EXPECT_EQ(log.codes().back(), stConnected);
}

TEST_F(PortOpen, CloseThenOpenReusesDescriptorsWithoutStrayReads)
{
    qvtest::PseudoTerminal other;
    ASSERT_TRUE(other.valid());
    ports.change({pty.slavePath(), other.slavePath()});
    for (int cycle = 0; cycle < 6; ++cycle) {
        qvtest::PseudoTerminal &now = cycle % 2 ? other : pty;
        qvtest::PseudoTerminal &before = cycle % 2 ? pty : other;
        comm.setCOMPort(now.slavePath());
        ASSERT_TRUE(comm.IsOpen()) << cycle;
        log.received.clear();
        ASSERT_TRUE(before.write("stray")); // on the port closed before: goes nowhere
        const QByteArray expected = "cycle " + QByteArray::number(cycle);
        ASSERT_TRUE(now.write(expected));
        ASSERT_TRUE(waitForBytes(int(expected.size())));
        qvtest::runEventLoopFor(100);
        EXPECT_EQ(log.allReceived(), expected) << cycle;
        comm.Close(); // the stray bytes stay behind; the next Open purges them
    }
}

TEST_F(PortOpen, CloseEndsAWriteTheFarEndDoesNotTake)
{
    comm.setSizeBufTXD(65535);
    ASSERT_TRUE(openPort());
    ASSERT_TRUE(comm.Transmit(QByteArray(65535, 'x'), false)); // more than the pty buffers
    qvtest::runEventLoopFor(100);
    closeAtOnce();
}

TEST_F(PortOpen, AFarEndThatHangsUpIsNotPolledInALoopAndThePortStaysClosable)
{
    ASSERT_TRUE(openPort());
    ASSERT_TRUE(pty.write("last words"));
    ASSERT_TRUE(waitForBytes(10));
    pty.closeMaster();
    // A hung-up tty is readable for ever; a thread that kept polling it would
    // burn a whole core meanwhile.
    const std::clock_t cpuBefore = std::clock(); // the process's, all threads
    qvtest::runEventLoopFor(300);
    EXPECT_LT(double(std::clock() - cpuBefore) * 1000 / CLOCKS_PER_SEC, 150.0);
    closeAtOnce();
    EXPECT_EQ(log.allReceived(), QByteArray("last words"));
    EXPECT_EQ(log.codes().back(), stDisconnected);
}

// The far end writes a first part; once the program has read it (and is in
// its TimeOut pause) it waits `gapMs`, then writes the second part. At 9600
// 8N1 a 150 ms pause carries 144 bytes, so the margin is 216: with SizeBufRXD
// 1024 a pass goes on while read + waiting + 216 stays below 1024.
TEST(ReceiveBlockBoundaries, ThePauseAndTheMarginDecideWhereABlockEnds)
{
    const QByteArray p400 = pattern(400), q400 = pattern(400, 7), p450 = pattern(450), q450 = pattern(450, 7);
    struct Case { const char *name; uint16_t timeOut, raisedTo; QByteArray first; int gapMs;
                  QByteArray second; Blocks blocks; };
    const Case cases[] = {
        {"a frame in pieces within the pause", 200, 0, "%%\x02" "0123456", 0, "789abcdefghijk##",
         {"%%\x02" "0123456789abcdefghijk##"}},
        {"a quiet line ends the block", 20, 0, "ab", 120, "cd", {"ab", "cd"}},
        {"TimeOut raised while open", 20, 400, "ef", 120, "gh", {"efgh"}},
        {"the margin still fits", 150, 0, p400, 0, q400, {p400 + q400}},   // 1016 < 1024
        {"the margin would overflow", 150, 0, p450, 0, q450, {p450, q450}}, // 1116
    };
    for (const auto &c : cases) {
        SerialPty r;
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
