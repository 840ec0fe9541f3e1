// Switching on and off, the probe checks at start, and the line rate rule.
#include "SimHarness.h"

#include <gtest/gtest.h>

using namespace qvsim;
using simtest::SimMeter;

TEST(SimPower, OffIsSilentExceptForPower)
{
    SimMeter m;
    const auto off = m.press("Z");
    ASSERT_EQ(off.size(), 1u);
    EXPECT_EQ(off[0].b, (Bytes{'%', '%', '-', '#', '#'}));
    EXPECT_TRUE(m.press("IBSDLTQRJKA").empty());
    EXPECT_TRUE(m.wait(60000).empty());

    const auto on = m.press("Z");
    ASSERT_EQ(on.size(), 2u);
    EXPECT_EQ(on[0].b, (Bytes{'%', '%', '+', '#', '#'}));
    EXPECT_EQ(on[1].screen(), ScrWelcome);
    // Keys during the welcome screen are answered but do nothing.
    EXPECT_EQ(m.press("D").back().screen(), ScrWelcome);
    EXPECT_TRUE(m.wait(MeterEngine::WelcomeMs - 1).empty());
    const auto ready = m.wait(1);
    ASSERT_EQ(ready.size(), 1u);
    EXPECT_EQ(ready[0].screen(), ScrMeasure);
}

TEST(SimPower, SwitchingOffCutsATransfer)
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

TEST(SimPower, IdleMeterSwitchesItselfOff)
{
    SimMeter m;
    m.press("LRKJJK");  // Auto OFF: 60 minutes out of the box...
    m.press("RRRRRRRK");  // ...now 1 minute
    ASSERT_EQ(m.engine.autoOffCode(), 0);
    m.wait(59000);
    EXPECT_TRUE(m.engine.isOn());
    m.press("I");  // the program asking keeps it awake
    m.wait(59000);
    EXPECT_TRUE(m.engine.isOn());
    const auto off = m.wait(1000);
    ASSERT_EQ(off.size(), 1u);
    EXPECT_EQ(off[0].type(), '-');
}

TEST(SimPower, ProbesTheModelDoesNotAccept)
{
    struct Case {
        Model model;
        int probe;
        uint16_t screen;
    };
    for (const Case &c : {Case{Model::K700, 20, DlgNoAccess}, Case{Model::QV700, 29, DlgNoAccess},
                          Case{Model::QV700, 150, ScrMeasure}, Case{Model::QV700, 110, DlgNoAccess},
                          Case{Model::QV700, 245, DlgProbeInitError}, Case{Model::K700, 13, ScrMeasure}}) {
        MeterConfig config;
        config.model = c.model;
        config.probeCode = c.probe;
        config.off = true;
        SimMeter m(config);
        m.press("Z");
        m.wait(MeterEngine::WelcomeMs);
        EXPECT_EQ(m.last().screen(), c.screen) << "probe " << c.probe;
        EXPECT_EQ(m.go("KQS"), c.screen);  // a probe error waits for the power key
    }
}

TEST(SimLine, ForeignRateOrNoLineHearsNothing)
{
    SimMeter m;
    for (uint32_t rate : {4800u, 0u}) {
        m.engine.setProgramRate(rate);
        EXPECT_TRUE(m.press("I").empty()) << rate;
        EXPECT_TRUE(m.press("D").empty()) << rate;
        EXPECT_EQ(m.screen(), ScrMeasure);  // the keys did not reach it either
    }
    // What the meter sends on its own does not come through either.
    m.engine.setProgramRate(9600);
    m.press("DJKQS");
    ASSERT_TRUE(m.engine.running());
    m.engine.setProgramRate(2400);
    EXPECT_TRUE(m.wait(2000).empty());
    m.engine.setProgramRate(9600);
    EXPECT_EQ(m.wait(MeterEngine::SampleMs).size(), 1u);
}

TEST(SimLine, Rs232MenuChangesTheRateAfterItsAnswer)
{
    SimMeter m;
    ASSERT_EQ(m.go("LRKJJJK"), MenuRs232 + 3);  // SET > More > RS 232
    m.press("RRR");      // 1200
    const auto answer = m.press("K");
    ASSERT_EQ(answer.size(), 1u);  // still at 9600
    EXPECT_EQ(answer[0].screen(), 253);
    EXPECT_EQ(answer[0].b[19], Baud9600);
    EXPECT_TRUE(m.press("I").empty());
    m.engine.setProgramRate(1200);
    const auto now = m.press("I");
    ASSERT_EQ(now.size(), 1u);
    EXPECT_EQ(now[0].b[19], Baud1200);
}
