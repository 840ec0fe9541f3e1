// Capture and autosave on a manual clock: the grid of times, synchronisation,
// interval changes, the new-sample rule, and what a row holds in each mode.
#include "files/FileTestSupport.h"
#include "files/GoldenTable.h"
#include "history/HistoryCapture.h"
#include "protocol/FormatSettings.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

struct Rig {
    HistoryStore store{filetest::OneEach};
    ManualClock clock{1000000};
    HistoryCapture capture{store, clock};

    Rig()
    {
        capture.LastInfo.ContinuousMeas = true;
        capture.flags.Measuring = true;
        capture.flags.MeterOn = true;
    }
    // One measurement at `at` ms after the start; true when it wrote a row.
    bool measureAt(uint32_t at, int count = 0)
    {
        clock.set(1000000 + at);
        TDataMeasQV m;
        m.ValueText = QStringLiteral("12.5 k");
        m.SeriesCount = count;
        return capture.receiveMeas(m) >= 0;
    }
    // Times (ms after the start) of the measurements that wrote rows.
    std::vector<uint32_t> written(const std::vector<uint32_t> &times)
    {
        std::vector<uint32_t> out;
        for (uint32_t t : times)
            if (measureAt(t))
                out.push_back(t);
        return out;
    }
};

} // namespace

TEST(Autosave, RowsFallOnTheGridSetByTheFirstRowEvenWhenMeasurementsComeLate)
{
    Rig r;
    r.capture.choose(2);   // 5 seconds
    // 0 starts the grid; 5000; 10700 is the first at or after 10000; 15000
    // has no measurement until 16000; 20000.
    const std::vector<uint32_t> times = {0, 1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10700,
                                         11000, 12000, 13000, 14000, 16000, 17000, 18000, 19000, 20000};
    EXPECT_EQ(r.written(times), (std::vector<uint32_t>{0, 5000, 10700, 16000, 20000}));
    EXPECT_EQ(r.store.HistRows(), 5);
}

TEST(Autosave, SynchronizeRestartsTheGridOneIntervalAfterThePress)
{
    // Pressed at T = 3000 with an interval of 10 s: the grid is now 13000, 23000...
    const struct {
        uint32_t firstAfter;   // the first measurement after T + 10 s
        std::vector<uint32_t> expect;
    } cases[] = {
        {13400, {13400, 23000}},   // within 1000 ms of the grid point
        {14200, {23000}},          // missed: the next point
    };
    for (const auto &c : cases) {
        Rig r;
        r.capture.choose(3);
        r.measureAt(0);
        r.clock.set(1000000 + 3000);
        EXPECT_EQ(r.capture.pressInsert(), -1);
        EXPECT_TRUE(r.capture.SyncGlyph);
        EXPECT_EQ(r.written({7000, 12000, c.firstAfter, 20000, 23000}), c.expect) << c.firstAfter;
        EXPECT_FALSE(r.capture.SyncGlyph);
    }
}

TEST(Autosave, ChoosingIntervals)
{
    Rig r;
    // Cancelling "set time" keeps the earlier choice.
    r.capture.choose(2);
    EXPECT_FALSE(r.capture.choose(AutosaveSetTime, std::nullopt));
    EXPECT_EQ(r.capture.AutoIndex, 2);
    EXPECT_EQ(r.capture.AutoInterval, 5000u);
    EXPECT_FALSE(r.capture.choose(AutosaveSetTime, 70000u)) << "out of range is refused";
    // A schedule moves by the difference of the intervals.
    r.measureAt(0);
    EXPECT_EQ(r.capture.NextTick, 1000000u + 5000);
    r.clock.set(1000000 + 2000);
    r.capture.choose(AutosaveSetTime, 2u);
    EXPECT_EQ(r.capture.AutoIndex, AutosaveSetTime);
    EXPECT_EQ(r.capture.NextTick, 1000000u + 2000);
    // A shorter interval whose point lies in the past moves to the first point from now.
    r.clock.set(1000000 + 4500);
    r.capture.choose(1);   // t = 2000 - 2000 + 1000 = 1000, before now
    EXPECT_EQ(r.capture.NextTick, 1000000u + 5000);
    // The single-measure warning: only above one second, only in single mode.
    r.capture.LastInfo.SingleMeas = true;
    EXPECT_TRUE(r.capture.choose(2));
    EXPECT_FALSE(r.capture.choose(2)) << "the choice in force changes nothing";
    EXPECT_FALSE(r.capture.choose(1));
    // Off clears the schedule.
    r.capture.choose(0);
    EXPECT_EQ(r.capture.AutoInterval, 0u);
    EXPECT_EQ(r.capture.NextTick, 0u);
    EXPECT_FALSE(r.measureAt(9000));
}

TEST(Autosave, ClosingTheListMovesAStaleScheduleToTheNextPoint)
{
    Rig r;
    r.capture.choose(2);
    r.measureAt(0);
    r.clock.set(1000000 + 12000);
    r.capture.closeUp();
    EXPECT_EQ(r.capture.NextTick, 1000000u + 15000);
    EXPECT_EQ(r.store.HistRows(), 1) << "closing the list writes nothing";
}

TEST(Autosave, NewSamplesCountOnlyWithTheSameModeAndANewSeriesCount)
{
    Rig r;
    r.capture.flags.Measuring = false;   // single measurements
    r.capture.choose(1);
    EXPECT_FALSE(r.measureAt(0, 1)) << "the first measurement is never a new sample";
    EXPECT_FALSE(r.measureAt(2000, 1)) << "same count: the same sample shown again";
    EXPECT_TRUE(r.measureAt(4000, 2));
    r.clock.set(1000000 + 6000);
    TDataMeasQV m;
    m.SeriesCount = 3;
    m.DoseMode = true;   // the mode changed: not a new sample
    EXPECT_LT(r.capture.receiveMeas(m), 0);
}

TEST(Autosave, StartAndStopOfASeriesClearTheSchedule)
{
    Rig r;
    r.capture.choose(2);
    r.measureAt(0);
    r.capture.stopMeas();
    EXPECT_EQ(r.capture.NextTick, 0u);
    r.measureAt(100);
    r.capture.pressInsert();   // a synchronisation waits: a continuous start keeps it
    r.capture.startMeas();
    EXPECT_NE(r.capture.SyncTick, 0u);
    r.capture.LastInfo.SingleMeas = true;
    r.capture.startMeas();
    EXPECT_EQ(r.capture.SyncTick, 0u);
    EXPECT_FALSE(r.capture.SyncGlyph);
}

TEST(Capture, RowsHoldTheCellsOfTheirMode)
{
    const ScopedFormatSettings scoped(FormatSettings{'.', '-', ':'});
    Rig r;
    r.capture.LastInfo.DateTime = 45000.5;   // 2023-03-15 12:00:00
    TDataMeasQV &m = r.capture.LastMeas;
    m.ValueText = QStringLiteral("1.234 k");
    m.RelativeMode = true;
    m.RelativeResultText = QStringLiteral("98.1");
    m.ReferenceText = QStringLiteral("0.5 u");
    m.DoseMode = true;
    m.DoseText = QStringLiteral("3.20m");
    m.DoseTime = 25 * 3600;   // a day and an hour
    m.SeriesMode = true;
    m.SeriesCount = 0;        // no statistics yet
    m.SeriesMinText = QStringLiteral("1");
    m.Description = QStringLiteral("Z.K-700 Over");
    ASSERT_EQ(r.capture.pressInsert(), 0);
    m.SeriesCount = 4;
    m.SeriesCountText = QStringLiteral("4");
    m.RelativeMode = m.DoseMode = false;
    ASSERT_EQ(r.capture.pressInsert(), 1);   // the count and the minimum; no relative value
    qvtest::expectGoldenText("history/captured-rows.expected", filetest::rowsText(r.store.hist(), 2));
}

TEST(Capture, ValueTextsAndIntervalTexts)
{
    qvtest::expectGoldenTable("history/value-and-interval-texts.tsv", 2, [](const QStringList &in) {
        if (in[0] == "value")
            return QStringList{NormalizeValue(in[1])};
        return QStringList{IntervalText(in[0] == "pl" ? 0 : 1, in[1].toUInt())};
    });
}
