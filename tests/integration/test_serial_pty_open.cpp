// Opening, configuring and closing real ttys: line settings as the driver
// sees them, busy ports, reuse of descriptors, sending, a far end that goes.
#include "SerialPtyFixture.h"

#include "serial/SerialDevice.h"

#include <functional>
#include <sys/file.h>
#include <sys/resource.h>

using namespace qv;
using qvtest::waitUntil;

namespace {

class PortOpen : public qvtest::SerialPtyTest {};

double processCpuMs()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
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
        {"odd, 1 stop bit", [](TComm32VN &c) { c.setParity(pbOdd); c.setStopBits(sbOne); }, PARODD, 0, 0, 9600},
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
    const double cpuBefore = processCpuMs();
    qvtest::runEventLoopFor(300);
    EXPECT_LT(processCpuMs() - cpuBefore, 150.0);
    closeAtOnce();
    EXPECT_EQ(log.allReceived(), QByteArray("last words"));
    EXPECT_EQ(log.codes().back(), stDisconnected);
}
