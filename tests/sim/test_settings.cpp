// Settings made in the menus show in the status block the program draws its
// check marks and icons from.
#include "SimHarness.h"

#include <gtest/gtest.h>

using namespace qvsim;
using simtest::SimMeter;

namespace {

uint16_t statusAfter(SimMeter &m, const std::string &keys)
{
    m.press(keys);
    return m.last().status();
}

} // namespace

TEST(SimSettings, TogglesReachTheStatusWord)
{
    SimMeter m;
    const uint16_t initial = statusAfter(m, "I");
    EXPECT_EQ(initial & (StSingle | StContinuous), StSingle);
    EXPECT_TRUE(initial & StAutoRange);
    EXPECT_FALSE(initial & StBacklight);

    EXPECT_FALSE(statusAfter(m, "LK") & StAutoRange);          // SET > Autorange
    EXPECT_TRUE(statusAfter(m, "K") & StAutoRange);
    EXPECT_TRUE(statusAfter(m, "JJJJK") & StBacklight);        // SET > Backlight
    EXPECT_EQ(m.screen(), 24);

    const uint16_t continuous = statusAfter(m, "DJK");         // MODE > Continuous
    EXPECT_EQ(continuous & (StSingle | StContinuous), StContinuous);
    const uint16_t integration = statusAfter(m, "JJK");        // MODE > Integration
    EXPECT_TRUE(integration & StIntegration);
    EXPECT_FALSE(integration & StRelative);
    EXPECT_TRUE(statusAfter(m, "JJKJJK") & StStatisticsAuto);  // Statistics... > Auto add
    EXPECT_EQ(m.screen(), 352);
    EXPECT_FALSE(statusAfter(m, "K") & StStatisticsAuto);
    EXPECT_EQ(statusAfter(m, "QRRRRRK") & (StSingle | StContinuous), StSingle);
    EXPECT_EQ(m.screen(), 30);
}

TEST(SimSettings, RelativeNeedsAReferenceAndExcludesIntegration)
{
    SimMeter m;
    m.press("DJJJK");  // integration on
    ASSERT_TRUE(m.last().status() & StIntegration);
    ASSERT_EQ(m.go("RK"), ScrReference);     // relative: the reference is asked for, prefilled with the reading
    EXPECT_EQ(m.last().type(), 0x06);
    EXPECT_EQ(m.last().textMode(), 'k');
    m.press("K");
    const uint16_t s = m.last().status();
    EXPECT_TRUE(s & StRelative);
    EXPECT_FALSE(s & StIntegration);
    EXPECT_EQ(m.screen(), 32);
    EXPECT_NEAR(m.engine.reference(), 0.35, 0.02);  // the blue-light probe's lamp
    EXPECT_FALSE(statusAfter(m, "K") & StRelative); // ENTER again switches it off
}

TEST(SimSettings, AutosaveIntervalAndCommentReachBytes17AndBit6)
{
    SimMeter m;
    EXPECT_EQ(m.go("TJJJJK"), MenuAutosave);  // MEMO > Autosave...
    EXPECT_EQ(m.go("JJJJJJJK"), ScrAutosaveComment);  // 5, 10, 15, 30, 60 s, 5, 10, 15 min
    EXPECT_EQ(m.last().textMode(), 't');
    EXPECT_EQ(m.go("K"), 14);
    EXPECT_TRUE(m.last().status() & StMemoryAutosave);
    EXPECT_EQ(m.last().b[17], 7);
    m.press("K");  // a second ENTER switches autosave off
    EXPECT_FALSE(m.last().status() & StMemoryAutosave);
    EXPECT_EQ(m.go("K"), MenuAutosave + 7);  // and the interval list opens where it was left
}

TEST(SimSettings, AutoOffChoicesOpenOnTheCurrentOne)
{
    SimMeter m;
    EXPECT_EQ(m.go("LRKJJK"), MenuAutoOff + 7);  // SET > More > Auto OFF: 60 minutes out of the box
    EXPECT_EQ(m.go("RRRK"), 252);
    EXPECT_EQ(m.last().b[18], 4);
}

TEST(SimSettings, LuminanceAttachmentsChangeTheRanges)
{
    MeterConfig config;
    config.model = Model::K700;
    config.luminance = true;
    SimMeter m(config);
    const simtest::Frame plain = m.press("I").back();
    EXPECT_TRUE(plain.status() & StLuminancePossible);
    EXPECT_EQ(plain.b[7], 10);
    EXPECT_EQ(plain.b[10] & 0x1F, 20);  // the program subtracts 2 for irradiance
    EXPECT_EQ(plain.b[9] >> 4, 0);

    ASSERT_EQ(m.go("LJJJK"), MenuLuminance);  // SET > Luminance
    m.press("JJK");    // 10°
    const int range = m.range();
    EXPECT_TRUE(m.last().status() & StLuminance);
    EXPECT_EQ(m.last().b[9] >> 4, 3);
    m.press("RRK");    // 1°: the narrower angle reads on higher ranges
    EXPECT_EQ(m.last().b[9] >> 4, 1);
    EXPECT_LT(m.range(), range);

    SimMeter plainProbe;  // a probe without luminance keeps SET > Luminance shut
    EXPECT_EQ(plainProbe.go("LJJJK"), 23);
}

TEST(SimSettings, ClockAlarmAndAnIllegalDate)
{
    SimMeter m;
    ASSERT_EQ(m.go("LRKK"), ScrDate);  // SET > More > Date-Time
    m.press(simtest::digitKeys("3102"));
    EXPECT_EQ(m.go("K"), ErrIllegalNumber);
    m.wait(MeterEngine::MessageMs);
    EXPECT_EQ(m.screen(), ScrDate);
    EXPECT_EQ(m.last().text().substr(0, 8), "31.02.24");  // the field is kept for correcting

    m = SimMeter();
    m.press("LRKK");
    m.press(simtest::digitKeys("010198"));
    ASSERT_EQ(m.go("K"), ScrTime);
    m.press(simtest::digitKeys("235950"));
    EXPECT_EQ(m.go("K"), 250);
    const uint8_t expected[6] = {0x50, 0x59, 0x23, 0x01, 0x01, 0x98};
    EXPECT_TRUE(std::equal(expected, expected + 6, m.last().b.begin() + 20));
    m.wait(10000);  // over midnight
    EXPECT_TRUE((m.engine.clock() == DateTime{2098, 1, 2, 0, 0, 0}));

    // An alarm for today rings within a second, with its message.
    ASSERT_EQ(m.go("JK"), ScrAlarmDate);
    ASSERT_EQ(m.go("K"), ScrAlarmMessage);
    m.press("K");
    EXPECT_TRUE(m.last().status() & StAlarm);
    const auto rang = m.wait(1000);
    ASSERT_FALSE(rang.empty());
    EXPECT_EQ(rang.back().screen(), DlgAlarm);
    EXPECT_EQ(rang.back().text().substr(0, 10), "CHECK LAMP");
    EXPECT_EQ(m.go("K"), 251);
    EXPECT_FALSE(m.last().status() & StAlarm);
}
