// Opening, configuring and closing real ttys: line settings as the driver
// sees them, busy and vanished ports, reuse of descriptors, sending.
#include "SerialPtyFixture.h"

#include "serial/SerialDevice.h"

#include <QElapsedTimer>

#include <sys/file.h>
#include <sys/resource.h>

using namespace qv;
using qvtest::waitUntil;

namespace {

class PortOpen : public qvtest::SerialPtyTest {
protected:
    // The slave's line as set by the program, read from the master side.
    termios lineSeenByTheFarEnd() const
    {
        termios t{};
        ::tcgetattr(pty.masterFd(), &t);
        return t;
    }
};

} // namespace

TEST_F(PortOpen, OpensAPseudoTerminalRawAt9600_8N1)
{
    ASSERT_TRUE(openPort());
    EXPECT_EQ(log.codes().back(), stConnected);
    EXPECT_EQ(log.statuses.back().second, QString("Connected"));
    EXPECT_EQ(comm->OpenedPort(), pty.slavePath());
    EXPECT_TRUE(comm->LastErrorHint().isEmpty());
    EXPECT_TRUE(comm->ReadyToSend());

    const termios t = lineSeenByTheFarEnd();
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | ICRNL), 0u);
    uint32_t rate = 0;
    ASSERT_TRUE(tty::readBaudRate(pty.masterFd(), rate));
    EXPECT_EQ(rate, 9600u);
}

// A pseudo-terminal always keeps 8 bits without parity (the pty driver clears
// CSIZE and PARENB); the rest of the line settings show on the far end.
TEST_F(PortOpen, ParityKindStopBitsAndHandshakeReachTheDriver)
{
    comm->setParity(pbMark);
    comm->setStopBits(sbTwo);
    comm->setFlowRTS_CTS(true);
    ASSERT_TRUE(openPort());
    termios t = lineSeenByTheFarEnd();
    EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR), tcflag_t(PARODD | CMSPAR));
    EXPECT_TRUE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(t.c_cflag & CRTSCTS);

    comm->setParity(pbSpace); // reopens with the new parity
    comm->setStopBits(sbOnePointFive);
    comm->setFlowRTS_CTS(false);
    ASSERT_TRUE(comm->IsOpen());
    t = lineSeenByTheFarEnd();
    EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR), tcflag_t(CMSPAR));
    EXPECT_TRUE(t.c_cflag & CSTOPB); // 1.5 stop bits become 2
    EXPECT_FALSE(t.c_cflag & CRTSCTS);

    comm->setParity(pbOdd);
    comm->setStopBits(sbOne);
    t = lineSeenByTheFarEnd();
    EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR), tcflag_t(PARODD));
    EXPECT_FALSE(t.c_cflag & CSTOPB);
}

TEST_F(PortOpen, ARateWithoutATermiosConstantOpens)
{
    comm->setBaudRate(br014400);
    ASSERT_TRUE(openPort());
    EXPECT_EQ(log.codes().back(), stConnected);
    uint32_t rate = 0;
    ASSERT_TRUE(tty::readBaudRate(pty.masterFd(), rate));
    EXPECT_EQ(rate, 14400u);

    comm->setBaudRate(br921600);
    ASSERT_TRUE(comm->IsOpen());
    ASSERT_TRUE(tty::readBaudRate(pty.masterFd(), rate));
    EXPECT_EQ(rate, 921600u);
}

TEST_F(PortOpen, FourDataBitsAreAPortError)
{
    comm->setDataBits(dbFour);
    EXPECT_FALSE(openPort());
    EXPECT_EQ(log.codes().back(), stPortError);
    EXPECT_TRUE(comm->LastErrorHint().contains("4 data bits"));
    EXPECT_EQ(comm->COMPort(), pty.slavePath());
}

TEST_F(PortOpen, APortHeldByAnotherProgramIsBusyAndKeepsItsName)
{
    const int other = ::open(pty.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);

    EXPECT_FALSE(openPort());
    EXPECT_EQ(log.codes().back(), stBusy);
    EXPECT_EQ(log.statuses.back().second, QString("Busy"));
    EXPECT_EQ(comm->COMPort(), pty.slavePath());
    EXPECT_EQ(comm->PortIndex(), 1);
    EXPECT_FALSE(comm->LastErrorHint().isEmpty());

    ::close(other); // the other program quits
    comm->Loaded();
    EXPECT_TRUE(comm->IsOpen());
    EXPECT_EQ(log.codes().back(), stConnected);
}

TEST_F(PortOpen, AVanishedPortIsNotFoundAndTheSelectionRevertsToNone)
{
    const QString gone = pty.slavePath() + "-gone";
    ports.change({pty.slavePath(), gone});
    comm->setCOMPort(gone);
    EXPECT_EQ(log.codes().back(), stPortNotFound);
    EXPECT_EQ(comm->COMPort(), QString("none"));
    EXPECT_EQ(comm->PortIndex(), 0);
    EXPECT_FALSE(comm->IsOpen());
}

TEST_F(PortOpen, CloseThenOpenReusesDescriptorsWithoutStrayReads)
{
    qvtest::PseudoTerminal other;
    ASSERT_TRUE(other.valid());
    ports.change({pty.slavePath(), other.slavePath()});

    for (int cycle = 0; cycle < 6; ++cycle) {
        qvtest::PseudoTerminal &now = cycle % 2 ? other : pty;
        qvtest::PseudoTerminal &before = cycle % 2 ? pty : other;
        comm->setCOMPort(now.slavePath());
        ASSERT_TRUE(comm->IsOpen()) << cycle;
        log.received.clear();

        // Bytes on the port closed before must go nowhere.
        ASSERT_TRUE(before.write("stray"));
        const QByteArray expected = QByteArray("cycle ") + QByteArray::number(cycle);
        ASSERT_TRUE(now.write(expected));
        ASSERT_TRUE(waitForBytes(int(expected.size())));
        qvtest::runEventLoopFor(100);
        EXPECT_EQ(allReceived(), expected) << cycle;
        comm->Close(); // the stray bytes stay behind; the next Open purges them
    }
}

TEST_F(PortOpen, SentBytesReachTheFarEndAndOnTxdEmptyHearsOfThem)
{
    ASSERT_TRUE(openPort());
    ASSERT_TRUE(comm->Transmit(QByteArray("KQ")));
    EXPECT_EQ(pty.read(2), QByteArray("KQ"));
    ASSERT_TRUE(waitUntil([&] { return !log.sent.empty(); }));
    EXPECT_EQ(log.sent, std::vector<QByteArray>{"KQ"});

    ASSERT_TRUE(comm->Transmit(QByteArray("next")));
    EXPECT_EQ(pty.read(4), QByteArray("next"));
}

TEST_F(PortOpen, CloseEndsAWriteTheFarEndDoesNotTake)
{
    comm->setSizeBufTXD(65535);
    ASSERT_TRUE(openPort());
    ASSERT_TRUE(comm->Transmit(QByteArray(65535, 'x'), false)); // more than the pty buffers
    qvtest::runEventLoopFor(100);
    QElapsedTimer clock;
    clock.start();
    comm->Close();
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(comm->IsOpen());
}

namespace {
double processCpuMs()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}
} // namespace

TEST_F(PortOpen, AFarEndThatHangsUpIsNotPolledInALoopAndThePortStaysClosable)
{
    ASSERT_TRUE(openPort());
    ASSERT_TRUE(pty.write("last words"));
    ASSERT_TRUE(waitForBlocks(1));
    pty.closeMaster();
    // A hung-up tty is readable for ever; a thread that kept polling it would
    // burn a whole core meanwhile.
    const double cpuBefore = processCpuMs();
    qvtest::runEventLoopFor(300);
    EXPECT_LT(processCpuMs() - cpuBefore, 150.0);
    QElapsedTimer clock;
    clock.start();
    comm->Close();
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(allReceived(), QByteArray("last words"));
    EXPECT_EQ(log.codes().back(), stDisconnected);
}
