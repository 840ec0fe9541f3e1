// The instrument's core behind the protocol component: flags, identification
// requests, the running clock, the cursor blink, the deferred REFRESH, keys
// locked on the service screen, meter on and off, the backlight.
#include "LcdTestSupport.h"

#include "instrument/MeterCore.h"
#include "protocol/FormatSettings.h"
#include "protocol/TComm32QV.h"

using namespace qv;
using qvtest::Frame;

namespace {

class MeterCoreTest : public ::testing::Test {
protected:
    MeterCoreTest()
        : fmt(FormatSettings{'.', '-', ':'}), timers(clock), comm(1, SerialPlatform{&clock, &timers, &ports})
    {
        TComm32QV::ResetSharedState();
        comm.OpenDetached([this](const QByteArray &bytes) { sent += bytes; });
        core = std::make_unique<MeterCore>(comm, 1, 0, clock, timers);
        core->OnReceiveMeas = [this](const TDataMeasQV &) { ++measEvents; };
        core->OnStartMeas = [this] { log << "Start"; };
        core->OnStopMeas = [this] { log << "Stop"; };
        core->OnMeterOFF = [this] { log << "Off"; };
    }
    void feed(const Frame &f)
    {
        const QByteArray b = f.data();
        comm.DeliverBlock(reinterpret_cast<const uint8_t *>(b.constData()), uint32_t(b.size()));
    }
    // A frame that identifies the meter: requests stop.
    void identify()
    {
        Frame id(3);
        id.text(30, "09-11-23 10:42:17 2.13").byte(7, 10);
        feed(id);
    }
    Frame status(uint16_t screen, uint16_t word = 0)
    {
        Frame f(1);
        f.word(5, word).byte(7, 10).byte(8, 0x30).byte(9, 1).byte(10, 15).byte(11, 41).menu(screen).clock();
        return f;
    }
    // The clock corner as a reference canvas draws `time` and `date`.
    bool clockShows(const QString &time, const QString &date)
    {
        LcdSurface ref;
        ref.setBrush(core->screen().surface().brush());
        ref.clear();
        LcdCanvas c(ref, LcdResources::builtIn(), 1);
        c.drawClockText(time, 94, 48);
        c.drawClockText(date, 94, 56);
        for (int y = 48; y < 64; ++y)
            for (int x = 94; x < 128; ++x)
                if (ref.pixel(x, y) != core->screen().surface().pixel(x, y))
                    return false;
        return true;
    }

    ScopedFormatSettings fmt;
    ManualClock clock;
    ManualTimers timers;
    FixedPortSource ports;
    TComm32QV comm;
    std::unique_ptr<MeterCore> core;
    QByteArray sent;
    QStringList log;
    int measEvents = 0;
};

TEST_F(MeterCoreTest, AsksForIdentificationUntilItArrivesAndInformationOnScreen220)
{
    EXPECT_FALSE(core->meterOn());
    feed(status(0));
    EXPECT_TRUE(core->meterOn());
    EXPECT_TRUE(sent.contains('B'));
    identify();
    EXPECT_FALSE(core->identRequest());
    EXPECT_TRUE(core->records().identReceived);
    sent.clear();
    timers.advance(200);
    feed(status(0));
    EXPECT_FALSE(sent.contains('B'));
    // The meter switching on asks again.
    feed(Frame(0x2B));
    EXPECT_TRUE(core->identRequest());
    // Menu code 220 is answered with the information request.
    identify();
    timers.advance(200);
    sent.clear();
    Frame f = lcdtest::measFrame(1.0f);
    f.menu(220);
    feed(f);
    EXPECT_EQ(sent.left(1), QByteArray("I"));
}

TEST_F(MeterCoreTest, ClockRunsOnTheMeasurementScreenOnly)
{
    identify();
    feed(status(0));   // the meter's clock: 31.12.09 23:59:30
    timers.advance(999);
    EXPECT_FALSE(clockShows("23:59:31", "31.12.09"));
    timers.advance(1);
    EXPECT_TRUE(clockShows("23:59:31", "31.12.09"));
    timers.advance(30000);
    EXPECT_TRUE(clockShows("00:00:01", "01.01.10"));

    feed(status(10));   // a menu: the clock corner is the menu's
    const QImage menu = core->lcdImage();
    timers.advance(2000);
    EXPECT_EQ(core->lcdImage(), menu);
}

TEST_F(MeterCoreTest, CursorBlinksEvery333ms)
{
    identify();
    feed(status(100));
    Frame t(6);
    t.menu(100).text(26, "AB").byte(42, 2).byte(43, 't').byte(44, 1);
    feed(t);
    LcdSurface &lcd = core->screen().surface();
    ASSERT_TRUE(core->screen().cursorShown());
    // The 100 ms service timer toggles on its first tick 333 ms or more on.
    timers.advance(300);
    EXPECT_FALSE(lcdtest::showsCell(lcd, "QVANSICHAR", QRect(348, 0, 6, 8), 31, 40));
    timers.advance(100);
    EXPECT_TRUE(lcdtest::showsCell(lcd, "QVANSICHAR", QRect(348, 0, 6, 8), 31, 40));
    timers.advance(400);
    EXPECT_TRUE(lcdtest::showsCell(lcd, "QVANSICHAR", QRect(6 * 15, 0, 6, 8), 31, 40));
    EXPECT_TRUE(core->entry().any);
}

TEST_F(MeterCoreTest, MeasurementsArePassedOnAndHoldTheRefresh)
{
    identify();
    feed(status(0));
    feed(lcdtest::measFrame(1.0f));     // key "S": the run starts
    ASSERT_TRUE(core->runInProgress());
    EXPECT_EQ(log, QStringList{"Start"});
    EXPECT_EQ(measEvents, 1);

    timers.advance(200);
    sent.clear();
    core->pressKey(MeterKey::Refresh);
    EXPECT_TRUE(core->refreshDeferred());
    for (int i = 0; i < 6; ++i) {
        timers.advance(500);
        feed(lcdtest::measFrame(1.0f));
        EXPECT_FALSE(core->refreshDeferred());
    }
    EXPECT_FALSE(sent.contains('I'));

    // Pressed again and no measurement follows: the timer sends it.
    core->pressKey(MeterKey::Refresh);
    EXPECT_TRUE(sent.isEmpty());
    timers.advance(3000);
    EXPECT_TRUE(sent.startsWith("I"));
    EXPECT_FALSE(core->refreshDeferred());
    // Measurements are passed on only from the measurement screen.
    EXPECT_EQ(measEvents, 7);
    Frame inMenu = lcdtest::measFrame(1.0f);
    inMenu.menu(10).keys('K');
    feed(inMenu);
    EXPECT_EQ(measEvents, 7);
}

TEST_F(MeterCoreTest, BatteryRefreshGivesTheMeterTimeToAnswer)
{
    QList<int> codes;
    core->OnStatus = [&](int code, const QString &) { codes << code; };
    identify();
    feed(status(0));
    // A key the meter never answers: its response watch runs out about
    // 5.2 s later, just after the battery refresh 30 s on has gone out.
    timers.advance(24900);
    core->pressKey(MeterKey::Up);
    ASSERT_TRUE(sent.endsWith("R"));
    const uint32_t start = clock.ticks();
    uint32_t sinceRefresh = 0;
    while (sinceRefresh < 300 && clock.ticks() - start < 7000) {
        timers.advance(10);
        if (sent.endsWith("I"))
            sinceRefresh += 10;
    }
    ASSERT_EQ(sinceRefresh, 300u) << "no battery refresh";
    // The meter answers the refresh 300 ms on: in time.
    feed(status(0));
    timers.advance(2000);
    EXPECT_FALSE(codes.contains(stCommLost)) << "lost just after the refresh went out";
}

TEST_F(MeterCoreTest, MeterOffOrALostLinkClearsTheState)
{
    identify();
    feed(status(0));
    feed(lcdtest::measFrame(1.0f));
    ASSERT_TRUE(core->runInProgress());
    feed(Frame(0x2D));
    EXPECT_EQ(log, (QStringList{"Start", "Stop", "Off"}));
    EXPECT_FALSE(core->meterOn());
    EXPECT_EQ(core->backlightIndex(), -1);
    EXPECT_EQ(lcdtest::inkCount(core->screen().surface(), 0, 0, 128, 64), 0);
    EXPECT_EQ(core->screen().surface().pixel(64, 32), LcdColourOff);
    // A lost link clears the flags and asks for identification again.
    identify();
    feed(status(0));
    EXPECT_TRUE(core->measurementRunning());
    comm.OnCOMStatus(stCommLost, "Communication lost");
    EXPECT_FALSE(core->meterOn());
    EXPECT_FALSE(core->measurementRunning());
    EXPECT_TRUE(core->identRequest());
}

TEST_F(MeterCoreTest, BacklightFollowsTheInfoRecord)
{
    identify();
    feed(status(10));
    EXPECT_EQ(core->screen().surface().brush(), LcdColourWhite);
    const QImage before = core->lcdImage();
    feed(status(10, 1u << 14));
    EXPECT_EQ(core->backlightIndex(), 1);
    const QImage &after = core->lcdImage();
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x) {
            if (before.pixel(x, y) == LcdColourWhite) {
                ASSERT_EQ(after.pixel(x, y), LcdColourGreen) << x << "," << y;
            }
            if (before.pixel(x, y) == LcdInk) {
                ASSERT_EQ(after.pixel(x, y), LcdInk) << x << "," << y;
            }
        }
    // Switching the backlight off again goes back to white.
    EXPECT_EQ(core->screen().shownBacklight(), 1);
    feed(status(10));
    EXPECT_EQ(core->screen().surface().pixel(127, 63), LcdColourWhite);
}

} // namespace
