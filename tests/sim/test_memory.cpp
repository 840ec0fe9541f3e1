// The measurement memory's test hook and a transfer cut short. (Saving,
// viewing, clearing and sending are in the recorded sessions.)
#include "SimHarness.h"

#include <gtest/gtest.h>

using namespace qvsim;
using simtest::SimMeter;

TEST(SimMemory, AnyBytesCanBeStoredForTestsAndAreSent)
{
    MeterConfig config;
    config.cells = 1;
    SimMeter m(config);
    Cell odd{};
    put32(&odd[32 - 3], 90000);  // 25 hours of integration
    EXPECT_TRUE(m.engine.memory().store(1, odd));
    EXPECT_FALSE(m.engine.memory().store(3, odd));
    ASSERT_EQ(m.go("TRKK"), ScrSendToPc);
    ASSERT_EQ(m.memoryBlock.size(), 4u + 2 * 63);
    EXPECT_EQ(get32(&m.memoryBlock[2 + 63 + 29]), 90000u);
}

TEST(SimMemory, SwitchingOffCutsATransfer)
{
    MeterConfig config;
    config.cells = 30;
    SimMeter m(config);
    m.press("TRK");
    m.engine.receive("K");
    m.engine.takeOutput(200);
    m.engine.receive("Z");
    EXPECT_EQ(m.engine.takeOutput(), (Bytes{'%', '%', '-', '#', '#'}));  // the block stops short
}
