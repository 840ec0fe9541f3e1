// The simulated lamp: readings that move a little and repeat with the seed.
// (Series, modes, ranges, zeroing and calibration are in the recorded
// sessions.)
#include "SimHarness.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace qvsim;
using simtest::Frame;
using simtest::SimMeter;

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
