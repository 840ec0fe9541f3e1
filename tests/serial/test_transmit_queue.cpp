// The transmit queue, its pacing, the response watch, received blocks and
// status reporting, on a detached component driven by the manual clock and
// timers.
#include "SerialTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace qv;
using Blocks = std::vector<QByteArray>;
using Sequence = std::vector<QString>;

namespace {

// A detached component whose sent blocks land on `wire`.
struct Rig {
    Rig()
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
    void deliver(const char *bytes, uint32_t size)
    {
        comm.DeliverBlock(reinterpret_cast<const uint8_t *>(bytes), size);
    }

    qvtest::ManualSetup setup;
    qvtest::TestComm comm{1, setup.platform()};
    qvtest::EventLog log;
    Blocks wire;
};

class TransmitQueue : public ::testing::Test, protected Rig {};

} // namespace

TEST_F(TransmitQueue, AnIdleLineSendsAtOnceOneBlockWaitsTheNextIsDroppedAndBlocksAreCut)
{
    EXPECT_TRUE(send("A"));
    EXPECT_EQ(wire, Blocks{"A"});
    EXPECT_EQ(log.sent, Blocks{"A"}); // OnTxdEmpty
    EXPECT_FALSE(comm.QueueBusy());
    EXPECT_TRUE(comm.ReadyToSend());

    EXPECT_TRUE(send("B")); // within TimeOut of A: waits
    EXPECT_TRUE(comm.QueueBusy());
    EXPECT_FALSE(send("C")); // one already waits: dropped
    EXPECT_EQ(wire.size(), 1u);
    advance(100); // the queue timer retries
    EXPECT_EQ(wire, (Blocks{"A", "B"}));
    EXPECT_FALSE(comm.QueueBusy());
    advance(1000);
    EXPECT_EQ(wire.size(), 2u);

    comm.setSizeBufTXD(4); // a block is cut to the transmit buffer size
    EXPECT_TRUE(comm.IsOpen()); // detached: nothing to reopen
    ASSERT_TRUE(send("0123456789"));
    EXPECT_EQ(wire.back(), "0123");
}

// A waits; it goes only once more than TimeOut has passed since A, counted
// on a tick counter that may wrap around between the two.
TEST(TransmitPacing, TheWaitingBlockGoesOnlyWhenMoreThanTimeOutHasPassed)
{
    const struct { const char *name; uint16_t timeOut; uint32_t start, notYet, thenGo; } cases[] = {
        {"default TimeOut (50)", 0, 100000, 50, 1},
        {"TimeOut changed while open", 300, 100000, 300, 1},
        {"deadline beyond the wrap", 0, 0xFFFFFFE0u, 20, 31},
        {"clock beyond the wrap", 0, 0xFFFFFFC8u, 50, 10},
    };
    for (const auto &c : cases) {
        Rig r;
        r.setup.clock.set(c.start);
        if (c.timeOut)
            r.comm.setTimeOut(c.timeOut);
        ASSERT_TRUE(r.send("A") && r.send("B")) << c.name;
        r.setup.clock.advance(c.notYet);
        EXPECT_FALSE(r.send("x")) << c.name; // tries the queue again
        EXPECT_EQ(r.wire.size(), 1u) << c.name;
        r.setup.clock.advance(c.thenGo);
        r.send("y");
        EXPECT_EQ(r.wire, (Blocks{"A", "B"})) << c.name;
    }
}

// The watch starts at the first timer tick after the send (100 ms) and runs
// for FixedRespTime or, when 0, for TransmitTime(block + SizeBufRXD) +
// MaxRespTime + TimeOut + 1000; ticks come every 100 ms. By default (1 byte
// at 9600 8N1) that is 100 + 1068 + 250 + 50 + 1000 = 2468: the tick of 2500.
TEST(ResponseWatch, ExpiresAtTheRightTickWithCommunicationLostThenOnRespTimeOver)
{
    const Sequence lost = {"status 2", "timeover"}, quiet = {"timeover"};
    struct Case { const char *name; std::function<void(Rig &)> act; uint32_t expiresAt; Sequence sequence; };
    const Case cases[] = {
        {"computed length", [](Rig &r) { r.send("K"); }, 2500, lost},
        {"MaxRespTime 900", [](Rig &r) { r.comm.setMaxRespTime(900); r.send("K"); }, 3200, lost},
        {"FixedRespTime 500", [](Rig &r) { r.comm.setFixedRespTime(500); r.send("K"); }, 600, lost},
        {"HoldTime 1000, counted down by the ticks",
         [](Rig &r) { r.comm.setFixedRespTime(500); r.send("K"); r.comm.SetHoldTime(1000); }, 1200, lost},
        {"a second send keeps the running watch",
         [](Rig &r) { r.comm.setFixedRespTime(2000); r.send("A"); r.advance(1000); r.send("B"); }, 2100, lost},
        {"no answer awaited", [](Rig &r) { r.send("K", false); }, 2500, quiet},
        {"WaitToResponse off", [](Rig &r) { r.comm.WaitToResponse = false; r.send("K"); }, 2500, quiet},
    };
    for (const auto &c : cases) {
        Rig r;
        const uint32_t start = r.setup.clock.ticks();
        c.act(r);
        r.advance(start + c.expiresAt - 1 - r.setup.clock.ticks());
        EXPECT_TRUE(r.log.sequence.empty()) << c.name;
        r.advance(1);
        EXPECT_EQ(r.log.sequence, c.sequence) << c.name;
        EXPECT_EQ(r.comm.doRespTimeOvers, 1) << c.name; // a descendant can take it over
        EXPECT_TRUE(r.log.statuses.empty() || r.log.statuses.back().second == "Communication lost");
        r.advance(10000);
        EXPECT_EQ(r.log.sequence, c.sequence) << c.name;
    }
}

TEST(ResponseWatch, AReceivedBlockIsPassedOnAndClearsTheWatchButAnEmptyOneDoesNot)
{
    const char *answer = "not a frame";
    // The sequence runs until long after the watch would have expired.
    struct Case { const char *name; bool statusOn; const char *bytes; uint32_t size; Blocks got; Sequence seq; };
    const Case cases[] = {
        {"a block", true, answer, 11, {answer}, {"status 0"}},
        {"without StatusONifReceive", false, answer, 1, {"n"}, {}},
        {"an empty block", true, answer, 0, {}, {"status 2", "timeover"}},
        {"no buffer", true, nullptr, 5, {}, {"status 2", "timeover"}},
    };
    for (const auto &c : cases) {
        Rig r;
        r.comm.StatusONifReceive = c.statusOn;
        ASSERT_TRUE(r.send("K"));
        r.advance(300);
        r.deliver(c.bytes, c.size);
        EXPECT_EQ(r.log.received, c.got) << c.name;
        r.advance(10000);
        EXPECT_EQ(r.log.sequence, c.seq) << c.name;
    }
}

TEST_F(TransmitQueue, ASinkThatAnswersAtOnceClearsTheWatch)
{
    comm.OpenDetached([this](const QByteArray &) { deliver("ok", 2); });
    ASSERT_TRUE(send("K"));
    EXPECT_EQ(log.received, Blocks{"ok"});
    advance(10000);
    EXPECT_EQ(log.respTimeOvers, 0);
}

TEST_F(TransmitQueue, CloseEmptiesTheQueueAndReportsDisconnectedEvenWhenClosed)
{
    ASSERT_TRUE(send("A"));
    ASSERT_TRUE(send("B"));
    comm.Close();
    EXPECT_FALSE(comm.IsOpen() || comm.QueueBusy() || comm.ReadyToSend());
    comm.Close();
    EXPECT_EQ(log.codes(), (std::vector<int>{stDisconnected, stDisconnected}));
    EXPECT_EQ(log.statuses.back().second, QString("Disconnected"));
    EXPECT_FALSE(send("C"));
    advance(10000);
    EXPECT_EQ(wire.size(), 1u);
    EXPECT_EQ(log.respTimeOvers, 0); // Close stopped the watch too
}

TEST(ComponentStatus, ErrorBeepOnlyForErrorsWithSoundOnErrorAndAListenerAndTheLastStatusIsKept)
{
    qvtest::ManualSetup setup;
    TComm32VN comm(0, setup.platform());
    EXPECT_EQ(comm.LastStatus(), stDisconnected);
    int beeps = 0;
    TComm32VN::setErrorBeep([&beeps] { ++beeps; });
    comm.SoundOnError = true;
    comm.ReportStatus(stCommLost); // no OnCOMStatus yet, but stored
    EXPECT_EQ(comm.LastStatus(), stCommLost);
    qvtest::EventLog log;
    qvtest::record(comm, log);
    comm.ReportStatus(stConnected);
    comm.ReportStatus(stDisconnected);
    EXPECT_EQ(beeps, 0);
    comm.ReportStatus(stCommLost);
    comm.ReportStatus(stPortError);
    EXPECT_EQ(beeps, 2);
    comm.SoundOnError = false;
    comm.ReportStatus(stBusy);
    comm.ReportStatus(); // raised again
    EXPECT_EQ(beeps, 2);
    TComm32VN::setErrorBeep(nullptr);
    EXPECT_EQ(log.codes(),
              (std::vector<int>{stConnected, stDisconnected, stCommLost, stPortError, stBusy, stBusy}));
    EXPECT_EQ(log.statuses.back().second, QString::fromUtf8("Zajęty"));
}
