// Measurements as the program's receiver sees them: starts and ends of
// series, complete measurements, the modes' figures and the ranges.
#include "SimHarness.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace qvsim;
using simtest::Frame;
using simtest::SimMeter;
using Events = std::vector<std::string>;

namespace {

// A meter in continuous mode, back on the measurement screen.
void continuous(SimMeter &m)
{
    m.press("DJKQ");
    ASSERT_TRUE(m.engine.continuousMode());
    ASSERT_EQ(m.screen(), ScrMeasure);
    m.rules.events.clear();
}

} // namespace

TEST(SimMeasure, SingleMeasurementIsCompleteThenClosed)
{
    SimMeter m;
    m.press("I");  // the receiver's first frame never starts a series
    const auto got = m.press("S");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].type(), 0x02);
    EXPECT_EQ(got[0].key1(), 'S');
    EXPECT_EQ(got[1].type(), 0x01);
    EXPECT_EQ(got[1].key1(), 's');
    EXPECT_EQ(m.rules.events, (Events{"start", "complete", "stop"}));
    EXPECT_FALSE(m.engine.running());
    EXPECT_TRUE(m.wait(5000).empty());  // nothing more until asked
}

TEST(SimMeasure, EscEndsARunWithItsLastReading)
{
    SimMeter m;
    continuous(m);
    m.press("S");
    m.wait(1000);
    const auto last = m.press("Q");
    ASSERT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].type(), 0x02);
    EXPECT_EQ(last[0].key1(), 'Q');
    const Events tail(m.rules.events.end() - 2, m.rules.events.end());
    EXPECT_EQ(tail, (Events{"stop", "measurement"}));  // not a complete one
}

TEST(SimMeasure, MenusPauseTheReportsNotTheRun)
{
    SimMeter m;
    continuous(m);
    m.press("DJJJKQ");  // integration on, back to measuring
    m.rules.events.clear();
    m.press("S");
    m.press("D");  // a menu over the run: the series ends for the program
    EXPECT_FALSE(m.rules.measuring);
    EXPECT_TRUE(m.wait(3000).empty());
    EXPECT_TRUE(m.engine.running());
    EXPECT_EQ(m.engine.integrator().seconds(), 3u);  // it kept integrating
    m.press("Q");
    EXPECT_FALSE(m.rules.measuring);  // the ESC answer itself starts nothing
    m.wait(MeterEngine::SampleMs);
    EXPECT_TRUE(m.rules.measuring);   // the next report does
    EXPECT_EQ(m.rules.events, (Events{"start", "complete", "stop", "measurement", "start", "complete"}));
}

TEST(SimMeasure, IntegrationFiguresAccumulate)
{
    SimMeter m;
    continuous(m);
    m.press("DJJJKQS");
    m.wait(10000);
    const Frame f = m.last();
    EXPECT_EQ(f.u32(32), 10u);                           // seconds
    EXPECT_NEAR(f.f32(36), 10 * 0.35, 10 * 0.35 * 0.04);  // the lamp, for ten seconds
    EXPECT_LE(f.f32(40), f.value());                     // the readings' extremes
    EXPECT_GE(f.f32(44), f.value());
    m.press("SDJJJJKRK");  // stop, MODE > Integration-clear, YES
    EXPECT_EQ(m.engine.integrator().seconds(), 0u);
}

TEST(SimMeasure, StatisticsAndRelativeFigures)
{
    SimMeter m;
    continuous(m);
    m.press("DJJJJJKJJKQQS");  // MODE > Statistics > Auto add, then measure
    m.wait(2000);
    Frame f = m.last();
    EXPECT_TRUE(f.status() & StStatisticsAuto);
    const uint32_t count = f.u32(32);
    EXPECT_EQ(count, 5u);  // the first reading and four more
    EXPECT_NEAR(f.f32(36) / count, f.value(), f.value() * 0.03);
    EXPECT_LE(f.f32(40), f.f32(44));

    ASSERT_EQ(m.go("SDJJK"), ScrReference);  // stop; MODE > Relative, reference 0.5 (in mW/m² prefix)...
    m.press("R");      // ...one prefix up: W/m²
    m.press(simtest::digitKeys("0.5"));
    m.press("KQ");
    m.press("S");
    f = m.last();
    ASSERT_TRUE(f.status() & StRelative);
    EXPECT_FLOAT_EQ(f.f32(33), 0.5f);
    EXPECT_NEAR(f.f32(37), f.value() / 0.5f * 100.0f, 0.01);
}

TEST(SimMeasure, ValuesLookLikeALampAndFollowTheSeed)
{
    MeterConfig config;
    config.seed = 42;
    SimMeter a(config), b(config);
    config.seed = 43;
    SimMeter c(config);
    for (SimMeter *m : {&a, &b, &c}) {
        continuous(*m);
        m->press("S");
        m->wait(60000);
    }
    ASSERT_EQ(a.frames.size(), b.frames.size());
    double lo = 1e9, hi = 0;
    for (size_t i = 0; i < a.frames.size(); ++i) {
        if (a.frames[i].type() != 0x02)
            continue;
        EXPECT_EQ(a.frames[i].value(), b.frames[i].value());
        lo = std::min<double>(lo, a.frames[i].value());
        hi = std::max<double>(hi, a.frames[i].value());
    }
    EXPECT_NE(a.last().value(), c.last().value());
    EXPECT_GT(hi, lo);              // it moves...
    EXPECT_LT(hi / lo, 1.06);       // ...but only a little
}

TEST(SimMeasure, AutoRangingReportsTheLimitThenMoves)
{
    SimMeter m;
    continuous(m);
    m.press("S");
    const int before = m.range();
    EXPECT_EQ(before, 3);  // 0.35 W/m² on the 1.5 W/m² range
    m.engine.setLampLevel(0.035, 0.2);  // the lamp dims tenfold
    m.wait(MeterEngine::SampleMs);
    Frame f = m.last();
    EXPECT_EQ(f.b[8] & 0x0F, before);
    EXPECT_EQ((f.limitCode() & 0x0F) / 3, 1);  // under range
    m.wait(MeterEngine::SampleMs);
    f = m.last();
    EXPECT_EQ(f.b[8] & 0x0F, before - 1);
    EXPECT_EQ((f.limitCode() & 0x0F) / 3, 0);
    EXPECT_EQ(f.exponent(), 36 + before - 1);

    m.engine.setLampLevel(5.0, 30.0);  // far above the top range
    m.wait(2 * MeterEngine::SampleMs);
    f = m.last();
    EXPECT_EQ(f.b[8] & 0x0F, 3);
    EXPECT_EQ((f.limitCode() & 0x0F) / 3, 2);
    EXPECT_TRUE(f.status() & StRangeOver);
}

TEST(SimMeasure, RangesByHandAndNoMeasurementsWithoutAProbe)
{
    SimMeter m;
    m.press("J");  // DOWN on the measurement screen: manual, one range lower
    EXPECT_FALSE(m.last().status() & StAutoRange);
    EXPECT_EQ(m.range(), 2);
    EXPECT_TRUE(m.last().status() & StRangeOver);  // 0.35 does not fit 0.15
    m.press("JJJJ");
    EXPECT_EQ(m.range(), 0);  // stops at the lowest
    m.press("RRRR");
    EXPECT_EQ(m.range(), 3);
    EXPECT_FALSE(m.last().status() & StRangeOver);

    MeterConfig config;
    config.noProbe = true;
    SimMeter none(config);
    none.press("I");
    EXPECT_TRUE(none.last().status() & StNoProbe);
    const auto got = none.press("S");
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].type(), 0x01);
    EXPECT_TRUE(none.rules.events.empty());
}

TEST(SimMeasure, ProbeFaultStopsTheRun)
{
    SimMeter m(MeterConfig{});
    continuous(m);
    m.press("S");
    m.engine.setProbeFault(true);
    const auto got = m.wait(MeterEngine::SampleMs);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].screen(), ErrProbeComm);
    EXPECT_FALSE(m.engine.running());
    EXPECT_EQ(m.rules.events.back(), "stop");
    m.press("K");  // "Save to...": the last good reading goes to memory
    EXPECT_EQ(m.engine.memory().count(), 1u);
    EXPECT_EQ(m.screen(), ScrMeasure);
}

TEST(SimMeasure, ZeroingAndCalibration)
{
    SimMeter m;
    EXPECT_EQ(m.go("LJK"), DlgCoverProbe);
    EXPECT_EQ(m.go("K"), DlgZeroing);
    EXPECT_EQ(m.go("Q"), DlgZeroing);  // busy: keys are answered but change nothing
    EXPECT_TRUE(m.wait(MeterEngine::ZeroingMs - 1).empty());
    EXPECT_EQ(m.wait(1).back().screen(), 21);

    m.press("J");
    const auto opened = m.press("K");  // Calibration: the reading, then the field
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].screen(), ScrCalibration);
    const float reading = opened[0].value();
    const int32_t old = m.engine.calibration();
    m.press(simtest::digitKeys("360"));  // 360 mW/m² where the meter read about 350
    ASSERT_EQ(m.go("K"), DlgCalibration);
    const std::string factors = m.last().text();
    EXPECT_EQ(factors.substr(9, 7), std::to_string(old));
    const int32_t proposed = std::stoi(factors.substr(1, 7));
    EXPECT_NEAR(proposed, old * 0.36 / reading, 2);
    m.press("KQS");
    EXPECT_EQ(m.engine.calibration(), proposed);
    EXPECT_NEAR(m.frames[m.frames.size() - 2].value(), 0.36, 0.36 * 0.04);
}

TEST(SimMeasure, ADemonstrationMeterStartsItsSeriesWhenTheProgramFirstSpeaks)
{
    qvsim::MeterConfig config;
    config.startSeries = true;
    SimMeter m(config);
    EXPECT_FALSE(m.engine.running()) << "nothing before the program is there";
    m.press("I");
    EXPECT_TRUE(m.engine.running());
    EXPECT_TRUE(m.engine.continuousMode());
    EXPECT_EQ(m.rules.events.front(), "start");
    m.press("S");   // the user may stop it, and it stays stopped
    m.press("I");
    EXPECT_FALSE(m.engine.running());
}
