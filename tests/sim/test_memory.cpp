// The measurement memory: saving, viewing, clearing and sending to the PC.
#include "SimHarness.h"

#include <gtest/gtest.h>

using namespace qvsim;
using simtest::Frame;
using simtest::SimMeter;

namespace {

MeterConfig withCells(int n, bool external = false)
{
    MeterConfig c;
    c.cells = n;
    c.externalMemory = external;
    return c;
}

// Opens MEMO > Send to PC.
void openSend(SimMeter &m)
{
    ASSERT_EQ(m.go("TRK"), ScrSendToPc);
}

} // namespace

TEST(SimMemory, LoadPreviewsWhileChoosingAndShowsTheRecord)
{
    SimMeter m(withCells(4));
    m.press("TJK");
    const auto down = m.press("J");
    ASSERT_EQ(down.size(), 2u);
    EXPECT_EQ(down[0].text().substr(0, 3), "003");
    EXPECT_EQ(down[1].type(), 0x05);
    EXPECT_TRUE(std::equal(down[1].b.begin() + 14, down[1].b.begin() + 66,
                           m.engine.memory().cell(2).begin() + 11));
    const auto view = m.press("K");
    ASSERT_EQ(view.size(), 2u);
    EXPECT_EQ(view[1].type(), 0x00);
    EXPECT_EQ(view[1].screen(), ScrRecordView);
    m.press("R");  // the next cell
    EXPECT_FLOAT_EQ(m.last().value(), getFloat(&m.engine.memory().cell(3)[26 - 3]));
    EXPECT_EQ(m.go("Q"), ScrLoad);
    EXPECT_EQ(m.engine.editor().text(), "004");
    // Numbers that name no cell are refused.
    m.press(simtest::digitKeys("000"));
    EXPECT_EQ(m.go("K"), ErrZeroValue);
    m.press("Q" + simtest::digitKeys("009"));
    EXPECT_EQ(m.go("K"), ErrOutOfRange);
}

TEST(SimMemory, SaveStoresTheReadingWithItsCommentAndTime)
{
    SimMeter m;
    m.press("S");  // a single measurement to save
    const float measured = m.frames[0].value();
    m.press("TK" + simtest::digitKeys("1207") + "K");
    ASSERT_EQ(m.engine.memory().count(), 1u);
    EXPECT_EQ((m.last().b[14] | m.last().b[15] << 8) >> 6, 1);  // the memory word counts it
    // The cell reads as a record frame from byte 3 on.
    Frame cell{Bytes(3, 0)};
    const Cell &c = m.engine.memory().cell(0);
    cell.b.insert(cell.b.end(), c.begin(), c.end());
    EXPECT_EQ(cell.b[7], 20);  // the probe
    EXPECT_FLOAT_EQ(cell.value(), measured);
    EXPECT_EQ(std::string(cell.b.begin() + 48, cell.b.begin() + 64), "1207            ");
    const uint8_t clock[6] = {0x00, 0x30, 0x09, 0x14, 0x03, 0x24};
    EXPECT_TRUE(std::equal(clock, clock + 6, cell.b.begin() + 20));
    // The next save offers the last comment again.
    m.press("K");
    EXPECT_EQ(m.last().text(), "1207            ");
}

TEST(SimMemory, ClearLastAndAllAskFirst)
{
    SimMeter m(withCells(3));
    m.press("TJJKK");  // NO is offered first
    EXPECT_EQ(m.engine.memory().count(), 3u);
    m.press("KRK");  // YES
    EXPECT_EQ(m.engine.memory().count(), 2u);
    m.press("JKRK");  // clear all, YES
    EXPECT_EQ(m.engine.memory().count(), 0u);
    EXPECT_EQ(m.last().b[14] | m.last().b[15], 0);
    EXPECT_EQ(m.go("K"), DlgMemoryEmpty);
}

TEST(SimMemory, SendToPcAnnouncesTheBlockThenSendsIt)
{
    SimMeter m(withCells(7));
    openSend(m);
    const auto sent = m.press("K");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].type(), 0x03);
    EXPECT_EQ(sent[0].u32(26), 4u + 7 * 63);
    ASSERT_EQ(m.memoryBlock.size(), 4u + 7 * 63);
    const Bytes &b = m.memoryBlock;
    EXPECT_EQ(std::string(b.begin(), b.begin() + 2) + std::string(b.end() - 2, b.end()), "!!!!");
    for (size_t u = 0; u < 7; ++u) {
        const Cell &c = m.engine.memory().cell(u);
        EXPECT_TRUE(std::equal(c.begin(), c.end(), m.memoryBlock.begin() + long(2 + 63 * u))) << u;
    }
    EXPECT_EQ(m.rawBytes, 28u * 3 + 106 + 4 + 7 * 63);  // nothing else follows the block
}

TEST(SimMemory, FullMemoryRefusesOrOffersToReplaceTheModule)
{
    SimMeter inner(withCells(512));
    EXPECT_EQ(inner.go("TK"), ErrMemoryFull);

    SimMeter module(withCells(511, true));
    EXPECT_TRUE(module.press("I").back().status() & StExternalMemory);
    EXPECT_EQ(module.engine.memory().count(), 511u);
    module.engine.memory().clearLast();
    module.press("TK");
    module.press("K");  // the 511th cell
    EXPECT_EQ(module.engine.memory().count(), 511u);
    EXPECT_EQ(module.go("K"), DlgReplaceMemory);  // and one more: the module is full
    module.press("K");  // replaced: emptied, and the reading saved as its first cell
    EXPECT_EQ(module.engine.memory().count(), 1u);
    EXPECT_EQ(module.screen(), 10);
}

TEST(SimMemory, AutosaveStoresDuringARunUntilFull)
{
    SimMeter m(withCells(509));
    m.press("DJKQ");       // continuous
    m.press("TJJJJKK");    // autosave every 5 s, comment "AUTO"
    m.press("KQS");
    ASSERT_TRUE(m.engine.running());
    m.wait(5000);
    EXPECT_EQ(m.engine.memory().count(), 510u);
    const Cell &c = m.engine.memory().cell(509);
    EXPECT_EQ(std::string(c.begin() + 45, c.begin() + 49), "AUTO");
    m.wait(10000);
    EXPECT_EQ(m.engine.memory().count(), 512u);
    EXPECT_TRUE(m.last().status() & StMemoryAutosave);
    m.wait(5000);  // no room left: the box over the run, and autosave gives up
    EXPECT_EQ(m.screen(), ErrMemoryFullMeasure);
    EXPECT_FALSE(m.last().status() & StMemoryAutosave);
    EXPECT_TRUE(m.engine.running());
    EXPECT_EQ(m.go("K"), ScrMeasure);
}

TEST(SimMemory, AnyBytesCanBeStoredForTests)
{
    SimMeter m(withCells(1));
    Cell odd{};
    put32(&odd[32 - 3], 90000);  // 25 hours of integration
    EXPECT_TRUE(m.engine.memory().store(1, odd));
    EXPECT_FALSE(m.engine.memory().store(3, odd));
    openSend(m);
    m.press("K");
    ASSERT_EQ(m.memoryBlock.size(), 4u + 2 * 63);
    EXPECT_EQ(get32(&m.memoryBlock[2 + 63 + 29]), 90000u);
}
