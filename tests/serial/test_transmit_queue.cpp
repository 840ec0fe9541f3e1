// The transmit queue, its pacing, the response watch and received blocks,
// on a detached component driven by the manual clock and timers.
#include "SerialTestSupport.h"

#include <gtest/gtest.h>

using namespace qv;
using qvtest::bytesOf;

namespace {

class TransmitQueue : public ::testing::Test {
protected:
    void SetUp() override
    {
        qvtest::record(comm, log);
        comm.OpenDetached([this](const QByteArray &block) { wire.push_back(block); });
        log.clear();
    }

    bool send(const char *text, bool awaitResponse = true)
    {
        return comm.Transmit(QByteArray(text), awaitResponse);
    }
    void advance(uint32_t ms) { setup.timers.advance(ms); }
    bool commLostReported() const
    {
        for (const auto &s : log.statuses)
            if (s.first == stCommLost)
                return true;
        return false;
    }

    qvtest::ManualSetup setup;
    qvtest::TestComm comm{1, setup.platform()};
    qvtest::EventLog log;
    std::vector<QByteArray> wire;
};

// 1 byte at 9600 8N1: TransmitTime(1 + 1024) + 250 + 50 + 1000 ms.
constexpr uint32_t DefaultResponseLength = 1068 + 250 + 50 + 1000;

} // namespace

TEST_F(TransmitQueue, AnIdleLineSendsAtOnce)
{
    EXPECT_TRUE(send("K"));
    ASSERT_EQ(wire.size(), 1u);
    EXPECT_EQ(wire[0], QByteArray("K"));
    EXPECT_EQ(log.sent, std::vector<QByteArray>{QByteArray("K")}); // OnTxdEmpty
    EXPECT_FALSE(comm.QueueBusy());
    EXPECT_TRUE(comm.ReadyToSend());
}

TEST_F(TransmitQueue, OneBlockWaitsTheNextIsDroppedAndTheFirstStillGoesOut)
{
    ASSERT_TRUE(send("A"));
    EXPECT_TRUE(send("B")); // within TimeOut of A: waits
    EXPECT_TRUE(comm.QueueBusy());
    EXPECT_FALSE(send("C")); // one already waits: dropped
    EXPECT_EQ(wire.size(), 1u);

    advance(100); // the queue timer retries
    EXPECT_EQ(wire, (std::vector<QByteArray>{"A", "B"}));
    EXPECT_FALSE(comm.QueueBusy());
    advance(1000);
    EXPECT_EQ(wire.size(), 2u);
}

TEST_F(TransmitQueue, SendsAreSpacedByMoreThanTimeOut)
{
    ASSERT_TRUE(send("A"));
    ASSERT_TRUE(send("B"));
    setup.clock.advance(50); // exactly TimeOut: not yet
    EXPECT_FALSE(send("x"));
    EXPECT_EQ(wire.size(), 1u);
    setup.clock.advance(1); // now more than TimeOut: the waiting block goes
    EXPECT_FALSE(send("y"));
    EXPECT_EQ(wire, (std::vector<QByteArray>{"A", "B"}));
}

TEST_F(TransmitQueue, PacingFollowsTimeOutChanges)
{
    comm.setTimeOut(300);
    EXPECT_TRUE(comm.IsOpen());
    ASSERT_TRUE(send("A"));
    ASSERT_TRUE(send("B"));
    advance(300);
    EXPECT_EQ(wire.size(), 1u);
    advance(100);
    EXPECT_EQ(wire.size(), 2u);
}

TEST_F(TransmitQueue, PacingSurvivesTheTickCounterWrappingAround)
{
    setup.clock.set(0xFFFFFFF0u);
    ASSERT_TRUE(send("A"));
    ASSERT_TRUE(send("B"));
    setup.clock.advance(40); // past zero, 40 ms after A
    send("x");
    EXPECT_EQ(wire.size(), 1u);
    advance(100);
    EXPECT_EQ(wire, (std::vector<QByteArray>{"A", "B"}));
}

TEST_F(TransmitQueue, ABlockIsCutToTheTransmitBufferSize)
{
    comm.setSizeBufTXD(4);
    EXPECT_TRUE(comm.IsOpen()); // detached: nothing to reopen
    ASSERT_TRUE(send("0123456789"));
    EXPECT_EQ(wire, std::vector<QByteArray>{"0123"});
}

TEST_F(TransmitQueue, NoAnswerReportsCommunicationLostThenRaisesRespTimeOver)
{
    ASSERT_TRUE(send("K"));
    EXPECT_TRUE(comm.ResponseTimer().enabled());
    // The watch starts at the first timer tick after the send (100 ms) and
    // runs for the computed length; ticks come every 100 ms, so the first
    // tick at or past 100 + 2368 is the one at 2500.
    static_assert(100 + DefaultResponseLength == 2468);
    advance(2499);
    EXPECT_TRUE(log.sequence.empty());
    advance(1);
    EXPECT_EQ(log.sequence, (std::vector<QString>{"status 2", "timeover"}));
    EXPECT_EQ(log.statuses.back().second, QString("Communication lost"));
    EXPECT_FALSE(comm.AwaitingResponse());
    EXPECT_FALSE(comm.ResponseTimer().enabled());
    advance(10000);
    EXPECT_EQ(log.sequence.size(), 2u);
}

TEST_F(TransmitQueue, WithoutAnAwaitedAnswerOrWaitToResponseOnlyRespTimeOverIsRaised)
{
    ASSERT_TRUE(send("K", false));
    advance(3000);
    EXPECT_EQ(log.sequence, std::vector<QString>{"timeover"});

    log.clear();
    comm.WaitToResponse = false;
    ASSERT_TRUE(send("K"));
    advance(3000);
    EXPECT_EQ(log.sequence, std::vector<QString>{"timeover"});
}

TEST_F(TransmitQueue, FixedRespTimeReplacesTheComputedLength)
{
    comm.setFixedRespTime(500);
    ASSERT_TRUE(send("K"));
    advance(599);
    EXPECT_FALSE(commLostReported());
    advance(1); // started at 100, expires at the tick of 600
    EXPECT_TRUE(commLostReported());
}

TEST_F(TransmitQueue, HoldTimeDefersTheTimeout)
{
    comm.setFixedRespTime(500);
    ASSERT_TRUE(send("K"));
    comm.SetHoldTime(1000);
    // Without the hold the watch expires at 600; each tick after the start
    // takes 100 ms off the hold, which reaches 0 at the tick of 1200.
    advance(1199);
    EXPECT_FALSE(commLostReported());
    EXPECT_EQ(comm.HoldTime(), 0u);
    advance(1);
    EXPECT_TRUE(commLostReported());
}

TEST_F(TransmitQueue, ASecondSendKeepsTheRunningWatch)
{
    comm.setFixedRespTime(2000);
    ASSERT_TRUE(send("A"));
    advance(1000); // the watch started at 100
    ASSERT_TRUE(send("B"));
    advance(1099);
    EXPECT_FALSE(commLostReported());
    advance(1); // 100 + 2000
    EXPECT_TRUE(commLostReported());
}

TEST_F(TransmitQueue, AReceivedBlockClearsTheWatchAndReportsConnected)
{
    ASSERT_TRUE(send("K"));
    advance(300);
    const QByteArray answer("not a frame");
    comm.DeliverBlock(bytesOf(answer), uint32_t(answer.size()));
    EXPECT_EQ(log.codes(), std::vector<int>{stConnected});
    EXPECT_EQ(log.received, std::vector<QByteArray>{answer});
    EXPECT_FALSE(comm.ResponseTimer().enabled());
    advance(10000);
    EXPECT_EQ(log.sequence, std::vector<QString>{"status 0"});
}

TEST_F(TransmitQueue, WithoutStatusONifReceiveABlockIsPassedOnSilently)
{
    comm.StatusONifReceive = false;
    ASSERT_TRUE(send("K"));
    const QByteArray answer("x");
    comm.DeliverBlock(bytesOf(answer), 1);
    EXPECT_TRUE(log.statuses.empty());
    EXPECT_EQ(log.received.size(), 1u);
    advance(10000);
    EXPECT_EQ(log.respTimeOvers, 0);
}

TEST_F(TransmitQueue, AnEmptyBlockChangesNothing)
{
    ASSERT_TRUE(send("K"));
    const QByteArray answer("x");
    comm.DeliverBlock(bytesOf(answer), 0);
    comm.DeliverBlock(nullptr, 5);
    EXPECT_TRUE(log.sequence.empty());
    EXPECT_TRUE(log.received.empty());
    EXPECT_TRUE(comm.ResponseTimer().enabled());
}

TEST_F(TransmitQueue, ASinkThatAnswersAtOnceClearsTheWatch)
{
    comm.OpenDetached([this](const QByteArray &) {
        const QByteArray answer("ok");
        comm.DeliverBlock(bytesOf(answer), 2);
    });
    log.clear();
    ASSERT_TRUE(send("K"));
    EXPECT_EQ(log.received.size(), 1u);
    advance(10000);
    EXPECT_EQ(log.respTimeOvers, 0);
}

TEST_F(TransmitQueue, CloseEmptiesTheQueueAndReportsDisconnectedEvenWhenClosed)
{
    ASSERT_TRUE(send("A"));
    ASSERT_TRUE(send("B"));
    comm.Close();
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_FALSE(comm.QueueBusy());
    EXPECT_FALSE(comm.ReadyToSend());
    comm.Close();
    EXPECT_EQ(log.codes(), (std::vector<int>{stDisconnected, stDisconnected}));
    EXPECT_EQ(log.statuses.back().second, QString("Disconnected"));
    EXPECT_FALSE(send("C"));
    advance(10000);
    EXPECT_EQ(wire.size(), 1u);
    EXPECT_EQ(log.respTimeOvers, 0); // Close stopped the watch too
}

TEST(ComponentStatus, ErrorBeepOnlyForErrorsWithSoundOnErrorAndAListener)
{
    qvtest::ManualSetup setup;
    TComm32VN comm(1, setup.platform());
    int beeps = 0;
    TComm32VN::setErrorBeep([&beeps] { ++beeps; });

    comm.SoundOnError = true;
    comm.ReportStatus(stCommLost); // no OnCOMStatus yet
    EXPECT_EQ(beeps, 0);
    comm.OnCOMStatus = [](int, const QString &) {};
    comm.ReportStatus(stConnected);
    comm.ReportStatus(stDisconnected);
    EXPECT_EQ(beeps, 0);
    comm.ReportStatus(stCommLost);
    comm.ReportStatus(stPortError);
    EXPECT_EQ(beeps, 2);
    comm.SoundOnError = false;
    comm.ReportStatus(stBusy);
    EXPECT_EQ(beeps, 2);

    TComm32VN::setErrorBeep(nullptr);
}

TEST(ComponentStatus, TheLastStatusIsKeptAndCanBeRaisedAgain)
{
    qvtest::ManualSetup setup;
    TComm32VN comm(0, setup.platform());
    EXPECT_EQ(comm.LastStatus(), stDisconnected);
    comm.ReportStatus(stBusy); // stored even without a listener
    std::vector<std::pair<int, QString>> seen;
    comm.OnCOMStatus = [&seen](int code, const QString &text) { seen.emplace_back(code, text); };
    comm.ReportStatus();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].first, stBusy);
    EXPECT_EQ(seen[0].second, QString::fromUtf8("Zajęty"));
}

TEST(ComponentStatus, ADescendantTakesOverTheResponseTimeout)
{
    struct Descendant : TComm32VN {
        using TComm32VN::TComm32VN;
        int own = 0;
        void DoRespTimeOver() override { ++own; }
    };
    qvtest::ManualSetup setup;
    Descendant comm(1, setup.platform());
    int baseEvents = 0;
    comm.OnRespTimeOver = [&baseEvents] { ++baseEvents; };
    comm.OpenDetached();
    ASSERT_TRUE(comm.Transmit(QByteArray("K")));
    setup.timers.advance(5000);
    EXPECT_EQ(comm.own, 1);
    EXPECT_EQ(baseEvents, 0);
}
