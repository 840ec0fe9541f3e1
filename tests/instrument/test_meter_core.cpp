// The instrument's core behind the protocol component: flags, identification
// requests, the running clock, the cursor blink, the deferred REFRESH, keys
// locked on the service screen, meter on and off, the backlight.
#include "LcdTestSupport.h"
#include "protocol/DetachedLink.h"

#include "instrument/MeterCore.h"
#include "protocol/FormatSettings.h"
#include "protocol/TComm32QV.h"
#include "support/GoldenText.h"

using namespace qv;
using qvtest::Frame;

namespace {

Frame status(uint16_t screen, uint16_t word = 0)
{
    Frame f(1);
    f.word(5, word).byte(7, 10).byte(8, 0x30).byte(9, 1).byte(10, 15).byte(11, 41).menu(screen).clock();
    return f;
}
// A frame that identifies the meter: requests stop.
const Frame Ident = Frame(3).text(30, "09-11-23 10:42:17 2.13").byte(7, 10);
// A measurement with key "S": a run starts.
const Frame Measurement = lcdtest::measFrame(1.0f);

struct MeterRig : DetachedLink {
    MeterRig() : fmt(FormatSettings{'.', '-', ':'}), core(comm(), 1, 0, clock(), timers())
    {
        core.OnReceiveMeas = [this](const TDataMeasQV &) { ++measEvents; };
        core.OnStartMeas = [this] { log << "Start"; };
        core.OnStopMeas = [this] { log << "Stop"; };
        core.OnMeterOFF = [this] { log << "Off"; };
    }
    void identify() { feed(Ident); }
    // Plays `steps`, keys pressed on the instrument, and lists the events
    // with the core's state at each note.
    QStringList script(const std::vector<Step> &steps)
    {
        play(steps, [this] {
            QImage dark(core.lcdImage().size(), core.lcdImage().format());
            dark.fill(LcdColourOff);
            log << QStringLiteral("[on %1, asks for identification %2, identified %3, run %4, series %5, "
                                  "refresh held %6, backlight %7, dark %8, %9 measurements, sent '%10']")
                       .arg(core.meterOn()).arg(core.identRequest()).arg(core.records().identReceived)
                       .arg(core.runInProgress()).arg(core.measurementRunning()).arg(core.refreshDeferred())
                       .arg(core.backlightIndex()).arg(core.lcdImage() == dark).arg(measEvents)
                       .arg(QString::fromLatin1(sent));
        }, [this](int k) { core.pressKey(MeterKey(k)); });
        return log;
    }
    // The clock corner as a reference canvas draws `time` and `date`.
    bool clockShows(const QString &time, const QString &date)
    {
        LcdSurface ref;
        ref.setBrush(core.screen().surface().brush());
        ref.clear();
        LcdCanvas c(ref, LcdResources::builtIn(), 1);
        c.drawClockText(time, 94, 48);
        c.drawClockText(date, 94, 56);
        for (int y = 48; y < 64; ++y)
            for (int x = 94; x < 128; ++x)
                if (ref.pixel(x, y) != core.screen().surface().pixel(x, y))
                    return false;
        return true;
    }

    ScopedFormatSettings fmt;
    MeterCore core;
    QStringList log;
    int measEvents = 0;
};

class MeterCoreTest : public ::testing::Test, protected MeterRig {};

const Step Refresh = key(int(MeterKey::Refresh));
const std::pair<const char *, std::vector<Step>> Scripts[] = {
    // Identification is asked for until it arrives, and again when the meter
    // switches on; menu code 220 is answered with the information request.
    {"identification and information requests",
     {note, status(0), note, Ident, note, after(200), status(0), note, Frame(0x2B), note, Ident, after(200),
      note, Frame(lcdtest::measFrame(1.0f)).menu(220), note}},
    // REFRESH during a run waits for the next measurement; pressed again and
    // no measurement follows, the timer sends it. Measurements are passed on
    // only from the measurement screen.
    {"measurements passed on and the refresh held",
     {Ident, status(0), Measurement, note, after(200), note, Refresh, note, after(500), Measurement, note,
      after(500), Measurement, note, after(500), Measurement, note, after(500), Measurement, note,
      after(500), Measurement, note, after(500), Measurement, note, Refresh, note, after(3000), note,
      Frame(lcdtest::measFrame(1.0f)).menu(10).keys('K'), note}},
    // Switching off ends the run and darkens the LCD; a lost link clears the
    // flags and asks for identification again.
    {"meter off or a lost link clears the state",
     {Ident, status(0), Measurement, note, Frame(0x2D), note, Ident, status(0), note,
      {Step::Status, stCommLost}, note}},
};

} // namespace

TEST(MeterCore, ScriptsMatchTheGoldenListing)
{
    QStringList listing;
    for (const auto &[name, steps] : Scripts)
        listing << QStringLiteral("## %1").arg(QLatin1String(name)) << MeterRig().script(steps);
    qvtest::expectGoldenText(QStringLiteral("instrument/meter-core.txt"), listing.join('\n') + '\n');
}

TEST_F(MeterCoreTest, ClockRunsOnTheMeasurementScreenOnly)
{
    identify();
    feed(status(0));   // the meter's clock: 31.12.09 23:59:30
    advance(999);
    EXPECT_FALSE(clockShows("23:59:31", "31.12.09"));
    advance(1);
    EXPECT_TRUE(clockShows("23:59:31", "31.12.09"));
    advance(30000);
    EXPECT_TRUE(clockShows("00:00:01", "01.01.10"));

    feed(status(10));   // a menu: the clock corner is the menu's
    const QImage menu = core.lcdImage();
    advance(2000);
    EXPECT_EQ(core.lcdImage(), menu);
}

// The 100 ms service timer toggles the cursor on its first tick 333 ms or
// more on (the cursor's look is in the screens' golden sheet).
TEST_F(MeterCoreTest, CursorBlinksEvery333ms)
{
    identify();
    feed(status(100));
    feed(Frame(6).menu(100).text(26, "AB").byte(42, 2).byte(43, 't').byte(44, 1));
    ASSERT_TRUE(core.screen().cursorShown());
    const QImage start = core.lcdImage();
    advance(300);
    EXPECT_EQ(core.lcdImage(), start);
    advance(100);
    EXPECT_NE(core.lcdImage(), start);
    advance(400);
    EXPECT_EQ(core.lcdImage(), start);
    EXPECT_TRUE(core.entry().any);
}

TEST_F(MeterCoreTest, BatteryRefreshGivesTheMeterTimeToAnswer)
{
    QList<int> codes;
    core.OnStatus = [&](int code, const QString &) { codes << code; };
    identify();
    feed(status(0));
    // A key the meter never answers: its response watch runs out about
    // 5.2 s later, just after the battery refresh 30 s on has gone out.
    advance(24900);
    core.pressKey(MeterKey::Up);
    ASSERT_TRUE(sent.endsWith("R"));
    const uint32_t start = clock().ticks();
    uint32_t sinceRefresh = 0;
    while (sinceRefresh < 300 && clock().ticks() - start < 7000) {
        advance(10);
        if (sent.endsWith("I"))
            sinceRefresh += 10;
    }
    ASSERT_EQ(sinceRefresh, 300u) << "no battery refresh";
    // The meter answers the refresh 300 ms on: in time.
    feed(status(0));
    advance(2000);
    EXPECT_FALSE(codes.contains(stCommLost)) << "lost just after the refresh went out";
}

TEST_F(MeterCoreTest, BacklightFollowsTheInfoRecord)
{
    identify();
    feed(status(10));
    EXPECT_EQ(core.screen().surface().brush(), LcdColourWhite);
    const QImage before = core.lcdImage();
    feed(status(10, 1u << 14));
    EXPECT_EQ(core.backlightIndex(), 1);
    const QImage &after = core.lcdImage();
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x) {
            const QRgb was = before.pixel(x, y);
            if (was == LcdColourWhite || was == LcdInk) {
                ASSERT_EQ(after.pixel(x, y), was == LcdInk ? LcdInk : LcdColourGreen) << x << "," << y;
            }
        }
    // Switching the backlight off again goes back to white.
    EXPECT_EQ(core.screen().shownBacklight(), 1);
    feed(status(10));
    EXPECT_EQ(core.screen().surface().pixel(127, 63), LcdColourWhite);
}
