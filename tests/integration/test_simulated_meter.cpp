// The program's components against the simulated meter in-process, where
// the manual clock lets a test place every byte: the link upkeep of the
// command line and the way to the memory command from every kind of screen
// (the welcome screen, a menu of each tree, a submenu, an open editor, a
// dialog); measurements passed on only from the measurement screen and a
// silent meter polled; typing in both character tables; and a download that
// shares a read with the next frame.
#include "support/SimulatedMeter.h"

#include "meter/MemoryRoute.h"
#include "meter/MeterUpkeep.h"
#include "protocol/KeyTyper.h"

#include <QStringList>

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

// Presses the keys one after another and lets the meter answer them all.
void press(SimulatedMeter &s, KeyTyper &typer, const std::vector<int> &keys)
{
    for (int k : keys)
        typer.pressKey(k);
    s.run(3000);
    ASSERT_TRUE(typer.idle());
}

} // namespace

TEST_P(MemoryRouteFrom, EveryScreenLeadsToTheTransfer)
{
    qvsim::MeterConfig config;
    config.cells = 40;
    config.welcome = GetParam().welcome;
    SimulatedMeter s(config);
    MeterUpkeep upkeep(*s.comm, s.clock, s.timers);
    KeyTyper typer(*s.comm, s.timers, s.clock);
    press(s, typer, GetParam().keys);

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
                    StartCase{"MemoryMenuItem4", {kcT, kcR, kcR}},
                    StartCase{"CoverProbeDialog", {kcL, kcJ, kcK}}, StartCase{"SendScreen", {kcT, kcR, kcK}}),
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

TEST(ProtocolWithMeter, TypedTextArrivesWhole)
{
    for (bool english : {true, false}) {
        qvsim::MeterConfig config;
        config.englishTable = english;
        SimulatedMeter s(config);
        s.run(2000);
        KeyTyper typer(*s.comm, s.timers, s.clock);
        // MEMO, ENTER: the comment of a measurement to be saved (screen 100).
        press(s, typer, {kcT, kcK});
        ASSERT_EQ(s.meter.screen(), 100);
        const QString text = english ? QStringLiteral("LAMP 7-B/2") : QStringLiteral("ŁÓDŹ 12-A");
        for (QChar ch : text)
            ASSERT_TRUE(typer.typeChar(ch));
        s.run(20000);
        EXPECT_TRUE(typer.idle());
        const QString expected = text.leftJustified(16, ' ');
        EXPECT_EQ(s.comm->DataText().Text, expected) << (english ? "English" : "Polish");
    }
}

TEST(ProtocolWithMeter, DownloadSharingAReadWithTheNextFrameIsKept)
{
    qvsim::MeterConfig config;
    config.cells = 20;
    config.statusAfterMemory = true;
    SimulatedMeter s(config);
    s.run(2000);
    KeyTyper typer(*s.comm, s.timers, s.clock);
    press(s, typer, {kcT, kcR, kcK}); // MEMO, UP to "send to PC", ENTER
    ASSERT_EQ(s.meter.screen(), qvsim::ScrSendToPc);

    QStringList log;
    s.comm->OnReceiveMemo = [&](const uint8_t *buf, uint32_t n) {
        const QByteArray table(reinterpret_cast<const char *>(buf), qsizetype(n));
        log << QStringLiteral("memo %1").arg(table.count("\r\n"));
    };
    s.comm->OnReceiveInfo = [&](const TDataInfoQV &i) { log << QStringLiteral("info %1").arg(i.MenuCode); };

    // ENTER: the announcement, the block and the status frame, all in one read.
    s.comm->SendKey(kcK);
    s.run(20);
    EXPECT_EQ(log, (QStringList{"memo 20", "info 150"}));
    EXPECT_FALSE(s.comm->InMemoryTransfer());

    // Again, but ESC breaks the transfer off: the meter answers, no table.
    s.run(200);
    log.clear();
    s.comm->SendKey(kcK);
    s.meter.advance(20);
    const qvsim::Bytes part = s.meter.takeOutput(106 + 500);
    s.comm->DeliverBlock(part.data(), uint32_t(part.size()));
    ASSERT_TRUE(s.comm->InMemoryTransfer());
    s.comm->SendKey(kcQ);
    s.timers.advance(100); // the key leaves once the pacing allows, the rest stays unsent
    s.run(100);
    EXPECT_FALSE(s.comm->InMemoryTransfer());
    ASSERT_EQ(log.size(), 1);
    EXPECT_TRUE(log.first().startsWith("info")) << qPrintable(log.join(','));
}
