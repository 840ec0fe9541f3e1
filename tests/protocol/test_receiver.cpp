// The receiver: frames cut from the byte stream, the events in their order,
// series start and end, the memory transfer and the response timeout.
#include "protocol/TComm32QV.h"
#include "support/Frames.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace qv;
using qvtest::Frame;
using qvtest::MemoryBlock;

namespace {

// A protocol component on a detached port with a manual clock, recording
// every event by name (with a detail for some).
struct Receiver {
    Receiver() : timers(clock), comm(1, SerialPlatform{&clock, &timers, &ports})
    {
        TComm32QV::ResetSharedState();
        comm.OpenDetached([this](const QByteArray &bytes) { sent += bytes; });
        comm.OnCOMStatus = [this](int code, const QString &) { log << QStringLiteral("Status%1").arg(code); };
        comm.OnRecFrame = [this](const uint8_t *, uint32_t size) { log << QStringLiteral("Frame%1").arg(size); };
        comm.OnReceiveInfo = [this](const TDataInfoQV &) { log << "Info"; };
        comm.OnReceiveMeas = [this](const TDataMeasQV &m) { log << (m.Complete ? "Meas+" : "Meas"); };
        comm.OnReceiveInfoMeter = [this](const TInfoMeterQV &) { log << "Ident"; };
        comm.OnReceiveText = [this](const TDataTextQV &) { log << "Text"; };
        comm.OnStartMeas = [this] { log << "Start"; };
        comm.OnStopMeas = [this] { log << "Stop"; };
        comm.OnMeterON = [this] { log << "On"; };
        comm.OnMeterOFF = [this] { log << "Off"; };
        comm.OnProgressMemo = [this](int32_t total, int32_t cell, int32_t per) {
            log << QStringLiteral("Progress%1/%2/%3").arg(total).arg(cell).arg(per);
        };
        comm.OnReceiveMemo = [this](const uint8_t *, uint32_t size) { log << QStringLiteral("Memo%1").arg(size); memoSize = size; };
    }

    void feed(const QByteArray &bytes)
    {
        comm.DeliverBlock(reinterpret_cast<const uint8_t *>(bytes.constData()), uint32_t(bytes.size()));
    }
    // The log without the "Connected" that every received block reports first.
    QStringList events() const
    {
        QStringList l = log;
        if (!l.isEmpty() && l.first() == "Status0")
            l.removeFirst();
        return l;
    }

    ManualClock clock;
    ManualTimers timers;
    FixedPortSource ports;
    TComm32QV comm;
    QStringList log;
    QByteArray sent;
    uint32_t memoSize = 0;
};

class ReceiverTest : public ::testing::Test, protected Receiver {};

// The identification frame announcing a memory block of `size` bytes.
QByteArray announce(uint32_t size) { return Frame(0x03).u32(26, size).data(); }
Frame status(uint16_t menu = 0, uint8_t key = 0) { return Frame(0x01).menu(menu).keys(key); }
Frame measurement(uint8_t key, uint8_t second = 0, uint16_t menu = 0)
{
    return Frame(0x02).keys(key, second).menu(menu).byte(30, 41).byte(10, 15);
}

} // namespace

// Frames cut from blocks however the line split them; a trailing "%" is
// kept as half a start marker; garbage, unknown types and frames with a
// wrong end marker are skipped.
TEST(ReceiverFrames, CutFromTheStreamInOrder)
{
    const QByteArray f = status(20).data();
    QByteArray bad = f;
    bad[27] = 'x';
    const struct { const char *name; std::vector<QByteArray> blocks; QStringList events; } cases[] = {
        {"two in one block", {f + Frame(0x2B).data()}, {"Status0", "Frame28", "Info", "Status0", "Frame5", "On"}},
        {"one over two blocks", {f.left(11), f.mid(11)}, {"Status0", "Status0", "Frame28", "Info"}},
        {"garbage and half a marker", {"xyz\x01\x02%", Frame(0x2D).data().mid(1)},
         {"Status0", "Status0", "Frame5", "Off"}},
        {"unknown type, wrong end", {QByteArray("%%\x04junk", 7) + bad + Frame(0x2A).data()}, {"Status0", "Frame5"}},
    };
    for (const auto &c : cases) {
        Receiver r;
        for (const QByteArray &block : c.blocks)
            r.feed(block);
        EXPECT_EQ(r.events(), c.events) << c.name;
    }
}

TEST_F(ReceiverTest, FirstFrameNoProbeOrMenuScreenStartsNothing)
{
    feed(measurement('S').data());
    EXPECT_FALSE(comm.Measuring());
    feed(measurement('S').byte(6, 0x01).data());
    EXPECT_FALSE(comm.Measuring());
    feed(measurement('S', 0, 20).data());
    EXPECT_FALSE(comm.Measuring());
    EXPECT_FALSE(events().contains("Start"));
}

TEST_F(ReceiverTest, StatusWithStopKeyEndsTheSeries)
{
    feed(status(0).data());
    feed(status(0, 'S').data());
    EXPECT_TRUE(comm.Measuring());
    log.clear();
    feed(status(0, 's').data());
    EXPECT_EQ(events(), (QStringList{"Stop", "Status0", "Frame28", "Info"}));
}

// While not measuring, a frame answering K is not a complete measurement;
// after B one is, but never with a second key in byte 4, nor an ESC answer.
TEST_F(ReceiverTest, CompleteFlagFollowsTheLastCommand)
{
    feed(status(0).data());
    const struct { int key; Frame frame; const char *event; } cases[] = {
        {kcK, measurement('K'), "Meas"}, {kcB, measurement('R'), "Meas+"},
        {-1, measurement('R', 'D'), "Meas"}, {-1, measurement('Q'), "Meas"},
    };
    for (const auto &c : cases) {
        if (c.key >= 0)
            comm.SendKey(c.key);
        log.clear();
        feed(c.frame.data());
        EXPECT_TRUE(log.contains(c.event)) << c.event << " " << log.join(',').toStdString();
    }
}

TEST_F(ReceiverTest, PendingInformationRequestHoldsBackCompleteness)
{
    feed(status(0).data());
    comm.SendKey(kcI);
    EXPECT_EQ(sent, "I");
    log.clear();
    feed(measurement('R').data());
    EXPECT_TRUE(log.contains("Meas"));
    EXPECT_FALSE(comm.Measuring());
    timers.advance(2000); // the deadline has passed
    log.clear();
    feed(measurement('R').data());
    EXPECT_TRUE(log.contains("Meas+"));
}

TEST_F(ReceiverTest, MemoryTransferWithProgress)
{
    MemoryBlock block(3);
    feed(announce(block.size()));
    EXPECT_TRUE(comm.InMemoryTransfer());
    log.clear();
    const QByteArray b = block.data();
    feed(b.left(70));             // 66 bytes of cells: one progress event
    feed(b.mid(70, 10));          // below the next threshold: none
    feed(b.mid(80, 60));          // 136 bytes: the second
    feed(b.mid(140));             // complete: the block, with 1000 per mille
    const QStringList got = events();
    ASSERT_EQ(got.size(), 8);
    EXPECT_EQ(got.mid(0, 7), (QStringList{"Progress3/1/349", "Status0", "Status0", "Progress3/2/719",
                                          "Status0", "Progress3/3/1000", "Frame193"}));
    EXPECT_TRUE(got.last().startsWith("Memo"));
    EXPECT_EQ(memoSize, uint32_t(comm.MemoryText().size()));
    EXPECT_EQ(comm.MemoryText().count("\r\n"), 3);
    EXPECT_FALSE(comm.InMemoryTransfer());
}

TEST_F(ReceiverTest, ProgressThresholdCatchesUpOneStepPerBlock)
{
    MemoryBlock block(4);
    feed(announce(block.size()));
    log.clear();
    const QByteArray b = block.data();
    feed(b.left(200));            // 196 bytes: one event only
    feed(b.mid(200, 1));          // threshold 126 already passed: another
    feed(b.mid(201, 1));          // 189 passed too
    feed(b.mid(202, 1));          // next threshold 252 not reached
    QStringList progress;
    for (const QString &e : log)
        if (e.startsWith("Progress"))
            progress << e;
    EXPECT_EQ(progress, (QStringList{"Progress4/3/777", "Progress4/3/781", "Progress4/3/785"}));
}

TEST_F(ReceiverTest, NormalFrameAtTheEndLeavesTheTransfer)
{
    // The meter broke the transfer off and answered: whether or not the
    // bytes reach the announced size, the frame is handled and no table made.
    for (int sent : {100, 620}) {
        feed(announce(4 + 63 * 10));
        log.clear();
        feed(MemoryBlock(10).data().left(sent) + status(150).data());
        EXPECT_FALSE(comm.InMemoryTransfer()) << sent;
        EXPECT_EQ(events().mid(events().size() - 2), (QStringList{"Frame28", "Info"})) << sent;
        EXPECT_FALSE(events().join(',').contains("Memo")) << sent;
    }
}

TEST_F(ReceiverTest, WrongEndMarkerAbandonsTheBlock)
{
    MemoryBlock block(2);
    QByteArray b = block.data();
    b[b.size() - 1] = 'x';
    feed(announce(block.size()) + b);
    EXPECT_FALSE(comm.InMemoryTransfer());
    EXPECT_FALSE(log.join(',').contains("Memo"));
    EXPECT_FALSE(log.contains("Frame130"));
}

TEST_F(ReceiverTest, KeysDuringTransferSendZeroButQ)
{
    feed(announce(4 + 63 * 10));
    comm.SendKey(kcA);
    timers.advance(200);
    comm.SendKey(kcQ);
    EXPECT_EQ(sent, QByteArray("\0Q", 2));
    comm.SendChar('1');
    timers.advance(200);
    EXPECT_EQ(sent.size(), 2);
}

TEST_F(ReceiverTest, PartialAnswerTimesOutAsCommunicationLost)
{
    bool timedOut = false;
    comm.OnRespTimeOver = [&] { timedOut = true; };
    comm.SendKey(kcI);
    feed(status(20).data().left(10));
    log.clear();
    timers.advance(20000);
    EXPECT_EQ(log, QStringList{"Status2"});
    EXPECT_TRUE(timedOut);
    // The partial frame is skipped when the next whole one arrives.
    log.clear();
    feed(status(20).data());
    EXPECT_EQ(events(), (QStringList{"Status0", "Frame28", "Info"}));
}

TEST_F(ReceiverTest, ResponseTimeoutInMemoryTransferReportsAndLeaves)
{
    feed(announce(4 + 63 * 10) + MemoryBlock(10).data().left(30));
    log.clear();
    timers.advance(60000);
    EXPECT_TRUE(log.contains("Status3"));
    EXPECT_FALSE(comm.InMemoryTransfer());
}

TEST(CharKeys, LowerCaseIsUpperCasedAndMissingCharactersHaveNoKeys)
{
    EXPECT_EQ(TComm32QV::CharKeys('a', true), TComm32QV::CharKeys('A', true));
    EXPECT_EQ(TComm32QV::CharKeys('?', false), "");
}

TEST_F(ReceiverTest, BlocksAnnouncedTooShortAreHandledSafely)
{
    // One byte cannot hold the markers: nothing is decoded and the receiver
    // goes back to frames.
    feed(announce(1));
    log.clear();
    feed("!!!!");
    EXPECT_FALSE(comm.InMemoryTransfer());
    EXPECT_FALSE(log.join(',').contains("Memo"));
    feed(Frame(0x2B).data());
    EXPECT_TRUE(log.contains("On"));
    // Up to four bytes hold no cell: an empty table, still announced.
    for (uint32_t size : {2u, 3u, 4u}) {
        feed(announce(size));
        log.clear();
        feed("!!!!");
        EXPECT_TRUE(log.contains("Memo0")) << size;
        EXPECT_FALSE(comm.InMemoryTransfer()) << size;
    }
}
