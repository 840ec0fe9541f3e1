// The receiver: frames cut from the byte stream, the events in their order,
// series start and end, the memory transfer and the response timeout. Each
// scenario's events, with the receiver's state where it says so, are listed
// in the golden file protocol/receiver.txt.
#include "DetachedLink.h"

#include "support/GoldenText.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

using namespace qv;
using qvtest::Frame;
using qvtest::MemoryBlock;

namespace {

// Records every event by name, with a detail for some.
struct Receiver : DetachedLink {
    Receiver()
    {
        TComm32QV &c = comm();
        c.OnCOMStatus = [this](int code, const QString &) { log << QStringLiteral("Status%1").arg(code); };
        c.OnRecFrame = [this](const uint8_t *, uint32_t size) { log << QStringLiteral("Frame%1").arg(size); };
        c.OnReceiveInfo = [this](const TDataInfoQV &) { log << "Info"; };
        c.OnReceiveMeas = [this](const TDataMeasQV &m) { log << (m.Complete ? "Meas+" : "Meas"); };
        c.OnReceiveInfoMeter = [this](const TInfoMeterQV &) { log << "Ident"; };
        c.OnReceiveText = [this](const TDataTextQV &) { log << "Text"; };
        c.OnStartMeas = [this] { log << "Start"; };
        c.OnStopMeas = [this] { log << "Stop"; };
        c.OnMeterON = [this] { log << "On"; };
        c.OnMeterOFF = [this] { log << "Off"; };
        c.OnRespTimeOver = [this] { log << "RespTimeOver"; };
        c.OnProgressMemo = [this](int32_t total, int32_t cell, int32_t per) {
            log << QStringLiteral("Progress%1/%2/%3").arg(total).arg(cell).arg(per);
        };
        c.OnReceiveMemo = [this](const uint8_t *, uint32_t size) {
            log << QStringLiteral("Memo%1, table of %2 bytes, %3 rows")
                       .arg(size).arg(comm().MemoryText().size()).arg(comm().MemoryText().count("\r\n"));
        };
    }
    void feed(const QByteArray &bytes) { deliver(bytes); }
    // The receiver's state, and what it sent since the last note.
    void note()
    {
        log << QStringLiteral("[measuring %1, in transfer %2, sent '%3']")
                   .arg(comm().Measuring()).arg(comm().InMemoryTransfer())
                   .arg(QString::fromLatin1(sent.toPercentEncoding()));
        sent.clear();
    }

    QStringList log;
};

// The identification frame announcing a memory block of `size` bytes.
QByteArray announce(uint32_t size) { return Frame(0x03).u32(26, size).data(); }
QByteArray status(uint16_t menu = 0, uint8_t key = 0) { return Frame(0x01).menu(menu).keys(key).data(); }
QByteArray measurement(uint8_t key, uint8_t second = 0, uint16_t menu = 0)
{
    return Frame(0x02).keys(key, second).menu(menu).byte(30, 41).byte(10, 15).data();
}
const QByteArray Table10 = MemoryBlock(10).data();

using Script = std::function<void(Receiver &)>;

// Frames cut from blocks however the line split them; a trailing "%" is
// kept as half a start marker; garbage, unknown types and frames with a
// wrong end marker are skipped.
Script blocks(std::vector<QByteArray> blocks)
{
    return [blocks](Receiver &r) {
        for (const QByteArray &block : blocks)
            r.feed(block);
    };
}
QByteArray badEnd()
{
    QByteArray f = status(20);
    f[27] = 'x';
    return f;
}

const std::pair<const char *, Script> Scenarios[] = {
    {"two frames in one block", blocks({status(20) + Frame(0x2B).data()})},
    {"one frame over two blocks", blocks({status(20).left(11), status(20).mid(11)})},
    {"garbage and half a marker", blocks({"xyz\x01\x02%", Frame(0x2D).data().mid(1)})},
    {"unknown type, wrong end", blocks({QByteArray("%%\x04junk", 7) + badEnd() + Frame(0x2A).data()})},
    {"first frame, no probe or a menu screen start nothing", [](Receiver &r) {
         QByteArray noProbe = measurement('S');
         noProbe[6] = 1;
         for (const QByteArray &f : {measurement('S'), noProbe, measurement('S', 0, 20)}) {
             r.feed(f);
             r.note();
         }
     }},
    {"status with the stop key ends the series", [](Receiver &r) {
         r.feed(status(0));
         r.feed(status(0, 'S'));
         r.note();
         r.feed(status(0, 's'));
     }},
    // While not measuring, a frame answering K is not a complete measurement;
    // after B one is, but never with a second key in byte 4, nor an ESC answer.
    {"complete flag follows the last command", [](Receiver &r) {
         r.feed(status(0));
         r.comm().SendKey(kcK);
         r.feed(measurement('K'));
         r.comm().SendKey(kcB);
         r.feed(measurement('R'));
         r.feed(measurement('R', 'D'));
         r.feed(measurement('Q'));
         r.note();
     }},
    // Until its deadline has passed.
    {"a pending information request holds back completeness", [](Receiver &r) {
         r.feed(status(0));
         r.comm().SendKey(kcI);
         r.feed(measurement('R'));
         r.note();
         r.advance(2000);
         r.feed(measurement('R'));
     }},
    // 66 bytes of cells give one progress event, 136 the second; complete,
    // the block with 1000 per mille.
    {"memory transfer with progress", [](Receiver &r) {
         const QByteArray b = MemoryBlock(3).data();
         r.feed(announce(uint32_t(b.size())));
         r.note();
         for (const QByteArray &part : {b.left(70), b.mid(70, 10), b.mid(80, 60), b.mid(140)})
             r.feed(part);
         r.note();
     }},
    // 196 bytes give one event only; the thresholds 126 and 189 already
    // passed give one more with each block; 252 is not reached.
    {"progress threshold catches up one step per block", [](Receiver &r) {
         const QByteArray b = MemoryBlock(4).data();
         r.feed(announce(uint32_t(b.size())));
         for (const QByteArray &part : {b.left(200), b.mid(200, 1), b.mid(201, 1), b.mid(202, 1)})
             r.feed(part);
     }},
    // The meter broke the transfer off and answered: whether or not the
    // bytes reach the announced size, the frame is handled and no table made.
    {"a normal frame at the end leaves the transfer", [](Receiver &r) {
         for (int sent : {100, 620}) {
             r.feed(announce(uint32_t(Table10.size())));
             r.feed(Table10.left(sent) + status(150));
             r.note();
         }
     }},
    {"a wrong end marker abandons the block", [](Receiver &r) {
         QByteArray b = MemoryBlock(2).data();
         b[b.size() - 1] = 'x';
         r.feed(announce(uint32_t(b.size())) + b);
         r.note();
     }},
    {"keys during a transfer send 0, but Q", [](Receiver &r) {
         r.feed(announce(uint32_t(Table10.size())));
         r.comm().SendKey(kcA);
         r.advance(200);
         r.comm().SendKey(kcQ);
         r.comm().SendChar('1');
         r.advance(200);
         r.note();
     }},
    // The partial frame is skipped when the next whole one arrives.
    {"a partial answer times out as communication lost", [](Receiver &r) {
         r.comm().SendKey(kcI);
         r.feed(status(20).left(10));
         r.advance(20000);
         r.feed(status(20));
     }},
    {"a response timeout in a memory transfer reports and leaves", [](Receiver &r) {
         r.feed(announce(uint32_t(Table10.size())) + Table10.left(30));
         r.advance(60000);
         r.note();
     }},
    // One byte cannot hold the markers: nothing is decoded and the receiver
    // goes back to frames. Up to four bytes hold no cell: an empty table,
    // still announced.
    {"blocks announced too short", [](Receiver &r) {
         for (uint32_t size : {1u, 2u, 3u, 4u}) {
             r.feed(announce(size));
             r.feed("!!!!");
             r.note();
         }
         r.feed(Frame(0x2B).data());
     }},
};

} // namespace

TEST(Receiver, ScenariosMatchTheGoldenListing)
{
    QStringList listing;
    for (const auto &[name, script] : Scenarios) {
        Receiver r;
        script(r);
        listing << QStringLiteral("## %1").arg(QLatin1String(name)) << r.log;
    }
    qvtest::expectGoldenText(QStringLiteral("protocol/receiver.txt"), listing.join('\n') + '\n');
}

TEST(CharKeys, LowerCaseIsUpperCasedAndMissingCharactersHaveNoKeys)
{
    EXPECT_EQ(TComm32QV::CharKeys('a', true), TComm32QV::CharKeys('A', true));
    EXPECT_EQ(TComm32QV::CharKeys('?', false), "");
}
