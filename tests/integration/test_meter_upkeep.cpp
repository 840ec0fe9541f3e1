// The link upkeep of the command line and the way to the memory command,
// against the simulated meter in-process: from every kind of screen (the
// welcome screen, a menu of each tree, a submenu, an open editor, a dialog)
// reading the screen after each key leads to the transfer; measurements are
// passed on only from the measurement screen, and a silent meter is polled.
#include "support/SimulatedMeter.h"

#include "meter/MemoryRoute.h"
#include "meter/MeterUpkeep.h"
#include "protocol/KeyTyper.h"

#include <gtest/gtest.h>

using namespace qv;
using qvtest::SimulatedMeter;

namespace {

struct StartCase {
    const char *name;
    std::vector<int> keys;   // pressed before the route begins
    bool welcome = false;
};

class MemoryRouteFrom : public testing::TestWithParam<StartCase> {};

} // namespace

TEST_P(MemoryRouteFrom, EveryScreenLeadsToTheTransfer)
{
    qvsim::MeterConfig config;
    config.cells = 40;
    config.welcome = GetParam().welcome;
    SimulatedMeter s(config);
    MeterUpkeep upkeep(*s.comm, s.clock, s.timers);
    KeyTyper typer(*s.comm, s.timers, s.clock);
    for (int key : GetParam().keys)
        typer.pressKey(key);
    s.run(3000);
    ASSERT_TRUE(typer.idle());

    QByteArray image;
    int progressEvents = 0;
    upkeep.OnProgressMemo = [&](int32_t total, int32_t, int32_t) {
        EXPECT_EQ(total, 40);
        ++progressEvents;
    };
    upkeep.OnReceiveMemo = [&](const uint8_t *data, uint32_t size) {
        image = QByteArray(reinterpret_cast<const char *>(data), int(size));
    };
    upkeep.refresh();
    s.run(500);
    int keys = 0;
    while (image.isEmpty() && keys < 25) {
        const int key = NextKeyToSendMemory(upkeep.screen(), upkeep.lastFrameType() == ftText);
        s.comm->SendKey(key < 0 ? kcI : key);
        ++keys;
        s.run(key < 0 ? 1000 : 400);
    }
    EXPECT_EQ(image.count("\r\n"), 40) << "screen " << upkeep.screen() << " after " << keys << " keys";
    EXPECT_GT(progressEvents, 0);
    EXPECT_LE(keys, 12);
    EXPECT_TRUE(upkeep.identified());
}

INSTANTIATE_TEST_SUITE_P(
    Screens, MemoryRouteFrom,
    testing::Values(StartCase{"Measurement", {}}, StartCase{"Welcome", {}, true},
                    StartCase{"ModeMenu", {kcD, kcJ}}, StartCase{"SetupSubmenu", {kcL, kcR, kcK}},
                    StartCase{"SaveEditor", {kcT, kcK}}, StartCase{"MemoryMenuItem2", {kcT, kcJ, kcJ}},
                    StartCase{"MemoryMenuItem4", {kcT, kcR, kcR}}, StartCase{"CoverProbeDialog", {kcL, kcJ, kcK}},
                    StartCase{"SendScreen", {kcT, kcR, kcK}}),
    [](const testing::TestParamInfo<StartCase> &info) { return std::string(info.param.name); });

TEST(MeterUpkeep, PassesOnTheMeasurementScreensRunAndPollsASilentMeter)
{
    qvsim::MeterConfig config;
    config.continuous = true;
    SimulatedMeter s(config);
    MeterUpkeep upkeep(*s.comm, s.clock, s.timers);
    int measurements = 0, starts = 0, stops = 0;
    upkeep.OnReceiveMeas = [&](const TDataMeasQV &m) {
        EXPECT_TRUE(m.Complete);
        ++measurements;
    };
    upkeep.OnStartMeas = [&] { ++starts; };
    upkeep.OnStopMeas = [&] { ++stops; };
    upkeep.refresh();
    s.run(1000);
    EXPECT_TRUE(upkeep.identified());
    s.comm->SendKey(kcS);   // the run: a measurement every 500 ms
    s.run(10000);
    EXPECT_EQ(starts, 1);
    EXPECT_NEAR(measurements, 20, 2);
    // In a menu the run goes on behind it, unreported and not passed on.
    s.comm->SendKey(kcT);
    s.run(500);
    const int before = measurements;
    s.run(40000);
    EXPECT_EQ(measurements, before);
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(upkeep.screen(), 10);
    // The status is asked for again while nothing else comes.
    uint32_t frames = s.comm->FramesAccepted();
    s.run(MeterUpkeep::SilentPollMs + 1000);
    EXPECT_GT(s.comm->FramesAccepted(), frames);
}
