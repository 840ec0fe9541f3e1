// The receiver: frames cut from the byte stream, the events in their order,
// series start and end, the memory transfer and the response timeout. Each
// scenario is a script of steps; its events, as the decode command prints
// them, and the receiver's state at each note are listed in the golden file
// protocol/receiver.txt.
#include "DetachedLink.h"

#include "cli/EventJson.h"
#include "support/GoldenText.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace qv;
using qvtest::Frame;
using qvtest::MemoryBlock;

namespace {

QStringList play(const std::vector<Step> &steps)
{
    DetachedLink link;
    QStringList log;
    qv::cli::EventJson json(link.comm(), [&](const QByteArray &line) { log << QString::fromUtf8(line); });
    link.comm().OnRespTimeOver = [&] { log << "response time over"; };
    link.play(steps, [&] {
        log << QStringLiteral("[measuring %1, in transfer %2, sent '%3']")
                   .arg(link.comm().Measuring()).arg(link.comm().InMemoryTransfer())
                   .arg(QString::fromLatin1(link.sent.toPercentEncoding()));
    });
    return log;
}

// Frames and cells carry a valid meter clock (an invalid one reads as now).
// The identification frame announcing a memory block of `size` bytes.
QByteArray announce(qsizetype size)
{
    return Frame(0x03).u32(26, uint32_t(size)).text(30, "09-03-15 10:20:30").data();
}
QByteArray status(uint16_t menu = 0, uint8_t key = 0)
{
    return Frame(0x01).menu(menu).keys(key).clock().data();
}
QByteArray measurement(uint8_t key, uint8_t second = 0, uint16_t menu = 0, uint8_t probe = 0)
{
    return Frame(0x02).keys(key, second).menu(menu).byte(30, 41).byte(10, 15).byte(6, probe).clock().data();
}
QByteArray table(int cells)
{
    MemoryBlock block(cells);
    for (int i = 0; i < cells; ++i)
        block.setCell(i, Frame(0x00).clock());
    return block.data();
}
QByteArray badEnd(QByteArray b)
{
    b[b.size() - 1] = 'x';
    return b;
}
const QByteArray Table2 = table(2), Table3 = table(3), Table4 = table(4), Table10 = table(10);

const std::pair<const char *, std::vector<Step>> Scenarios[] = {
    // Frames cut from blocks however the line split them; a trailing "%" is
    // kept as half a start marker; garbage, unknown types and frames with a
    // wrong end marker are skipped.
    {"two frames in one block", {status(20) + Frame(0x2B).data()}},
    {"one frame over two blocks", {status(20).left(11), status(20).mid(11)}},
    {"garbage and half a marker", {"xyz\x01\x02%", Frame(0x2D).data().mid(1)}},
    {"unknown type, wrong end", {QByteArray("%%\x04junk", 7) + badEnd(status(20)) + Frame(0x2A).data()}},
    {"no start from a first frame, without a probe or on a menu screen",
     {measurement('S'), note, measurement('S', 0, 0, 1), note, measurement('S', 0, 20), note}},
    {"status with the stop key ends the series", {status(0), status(0, 'S'), note, status(0, 's')}},
    // While not measuring, a frame answering K is not a complete measurement;
    // after B one is, but never with a second key in byte 4, nor an ESC answer.
    {"complete flag follows the last command",
     {status(0), key(kcK), measurement('K'), key(kcB), measurement('R'), measurement('R', 'D'),
      measurement('Q')}},
    // Until its deadline has passed.
    {"a pending information request holds back completeness",
     {status(0), key(kcI), measurement('R'), note, after(2000), measurement('R')}},
    // 66 bytes of cells give one progress event, 136 the second; complete,
    // the block with 1000 per mille.
    {"memory transfer with progress",
     {announce(Table3.size()), note, Table3.left(70), Table3.mid(70, 10), Table3.mid(80, 60), Table3.mid(140),
      note}},
    // 196 bytes give one event only; the thresholds 126 and 189 already
    // passed give one more with each block; 252 is not reached.
    {"progress threshold catches up one step per block",
     {announce(Table4.size()), Table4.left(200), Table4.mid(200, 1), Table4.mid(201, 1), Table4.mid(202, 1)}},
    // The meter broke the transfer off and answered: whether or not the
    // bytes reach the announced size, the frame is handled and no table made.
    {"a normal frame at the end leaves the transfer",
     {announce(Table10.size()), Table10.left(100) + status(150), note,
      announce(Table10.size()), Table10.left(620) + status(150), note}},
    {"a wrong end marker abandons the block", {announce(Table2.size()) + badEnd(Table2), note}},
    {"keys during a transfer send 0, but Q",
     {announce(Table10.size()), key(kcA), after(200), key(kcQ), {Step::Char, '1'}, after(200), note}},
    // The partial frame is skipped when the next whole one arrives.
    {"a partial answer times out as communication lost",
     {key(kcI), status(20).left(10), after(20000), status(20)}},
    {"a response timeout in a memory transfer reports and leaves",
     {announce(Table10.size()) + Table10.left(30), after(60000), note}},
    // One byte cannot hold the markers: nothing is decoded and the receiver
    // goes back to frames. Up to four bytes hold no cell: an empty table,
    // still announced.
    {"blocks announced too short", {announce(1), "!!!!", note, Frame(0x2B).data(), announce(2), "!!!!", note,
                                    announce(3), "!!!!", note, announce(4), "!!!!", note}},
};

} // namespace

TEST(Receiver, ScenariosMatchTheGoldenListing)
{
    QStringList listing;
    for (const auto &[name, steps] : Scenarios)
        listing << QStringLiteral("## %1").arg(QLatin1String(name)) << play(steps);
    qvtest::expectGoldenText(QStringLiteral("protocol/receiver.txt"), listing.join('\n') + '\n');
}

TEST(CharKeys, LowerCaseIsUpperCasedAndMissingCharactersHaveNoKeys)
{
    EXPECT_EQ(TComm32QV::CharKeys('a', true), TComm32QV::CharKeys('A', true));
    EXPECT_EQ(TComm32QV::CharKeys('?', false), "");
}
